// The host file system (POSIX or Win32, whichever this build has) on real files in a temporary directory.
#include "file/FileInfo.h"
#include "file/FileSystem.h"
#include "tests/TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tavro {
namespace {

class HostFileSystem : public ::testing::Test {
protected:
    std::wstring PathOf(const std::string& name) const { return (temp.path / name).wstring(); }

    testing::TempDirectory temp;
    CFileSystem& fileSystem = GetFileSystem();
};

TEST_F(HostFileSystem, WritesReadsSeeksAndResizes) {
    const std::wstring path = PathOf("data.bin");
    {
        auto file = fileSystem.OpenFile(path.c_str(), kOpenWrite | kOpenCreate);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->GetFileSystem(), &fileSystem);
        EXPECT_EQ(std::wstring(file->GetFileInfo()->GetPath()), path);
        EXPECT_EQ(file->Write("hello world", 11), 11u);
        EXPECT_TRUE(file->SetSize64(5));
        EXPECT_EQ(file->Tell64(), 5u);
    }
    auto file = fileSystem.OpenFile(path.c_str(), kOpenRead);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->GetSize64(), 5u);
    char text[16] = {};
    EXPECT_EQ(file->Read(text, sizeof(text)), 5u) << "a read crossing the end stops there";
    EXPECT_EQ(std::string(text), "hello");
    EXPECT_EQ(file->Read(text, 1), 0u) << "at the end";
    EXPECT_FALSE(file->Seek(-1));
    EXPECT_TRUE(file->SeekFromEnd64(2));
    EXPECT_EQ(file->Tell64(), 3u);
    EXPECT_EQ(file->Read(text, sizeof(text)), 2u);
    EXPECT_TRUE(file->Skip64(-5));
    EXPECT_EQ(file->Tell64(), 0u);
    EXPECT_TRUE(file->Seek64(100)) << "beyond the end";
    EXPECT_EQ(file->Read(text, 1), 0u);
    EXPECT_EQ(file->Write("x", 1), 0u) << "opened for reading only";
}

TEST_F(HostFileSystem, OpensFollowTheModeBitsAndRefuseWhatIsNoFile) {
    const std::wstring path = PathOf("modes.bin");
    EXPECT_EQ(fileSystem.OpenFile(nullptr, kOpenRead), nullptr);
    EXPECT_EQ(fileSystem.OpenFile(path.c_str(), kOpenRead), nullptr) << "missing";
    EXPECT_EQ(fileSystem.OpenFile(path.c_str(), kOpenRead | kOpenKeepExisting), nullptr);
    EXPECT_EQ(fileSystem.OpenFile(path.c_str(), 3 | kOpenCreate), nullptr);
    EXPECT_FALSE(std::filesystem::exists(temp.path / "modes.bin")) << "access 3 touches nothing";
    EXPECT_EQ(fileSystem.OpenFile(temp.path.wstring().c_str(), kOpenRead), nullptr) << "a folder is no file";

    fileSystem.OpenFile(path.c_str(), kOpenWrite | kOpenCreate)->Write("abc", 3);
    EXPECT_EQ(fileSystem.OpenFile(path.c_str(), kOpenReadWrite | kOpenCreate | kOpenKeepExisting)->GetSize(),
              3u);
    EXPECT_EQ(fileSystem.OpenFile(path.c_str(), kOpenReadWrite | kOpenCreate)->GetSize(), 0u);
}

TEST_F(HostFileSystem, DeletesFilesAndCreatesDirectories) {
    const std::wstring sub = PathOf("sub");
    EXPECT_TRUE(fileSystem.CreateDirectory(sub.c_str()));
    EXPECT_TRUE(fileSystem.CreateDirectory(sub.c_str())) << "already there";
    EXPECT_FALSE(fileSystem.CreateDirectory((temp.path / "missing" / "deeper").wstring().c_str()));
    const std::wstring path = (temp.path / "sub" / "gone.bin").wstring();
    ASSERT_NE(fileSystem.OpenFile(path.c_str(), kOpenWrite | kOpenCreate), nullptr);
    EXPECT_TRUE(fileSystem.DeleteFile(path.c_str()));
    EXPECT_FALSE(fileSystem.DeleteFile(path.c_str()));
}

TEST(FileInfo, ClonesOwnTheirPath) {
    std::unique_ptr<CFileInfo> clone;
    {
        std::wstring path = L"dir/file.bin";
        CFileInfo_Default info(path.c_str());
        clone = info.Clone();
        path.assign(L"xxxxxxxxxxxx");
    }
    EXPECT_EQ(std::wstring(clone->GetPath()), L"dir/file.bin");
    EXPECT_EQ(std::wstring(CFileInfo_Default(nullptr).GetPath()), L"");
}

} // namespace
} // namespace tavro
