// The Win32 file system and disk file on real files in a temporary directory.
#include "file/FileInfo.h"
#include "file/FileSystem.h"
#include "tests/TempDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <windows.h>

#undef DeleteFile
#undef CreateDirectory

namespace tavro {
namespace {

class WindowsFileSystem : public ::testing::Test {
protected:
    testing::TempDirectory temp;
    std::wstring directory = temp.path.wstring() + L"\\";
    CFileSystem& fileSystem = GetFileSystem();
};

TEST_F(WindowsFileSystem, WritesReadsSeeksAndResizes) {
    const std::wstring path = directory + L"data.bin";
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
    char bytes[16] = {};
    EXPECT_EQ(file->Read(bytes, sizeof(bytes)), 5u) << "a read crossing the end stops there";
    EXPECT_EQ(std::string(bytes), "hello");
    EXPECT_EQ(file->Read(bytes, 1), 0u) << "at the end";
    EXPECT_FALSE(file->Seek(-1));
    EXPECT_TRUE(file->SeekFromEnd64(2));
    EXPECT_EQ(file->Tell64(), 3u);
    EXPECT_TRUE(file->Skip64(-3));
    EXPECT_EQ(file->Tell64(), 0u);
    EXPECT_TRUE(file->Seek64(100)) << "beyond the end";
    EXPECT_EQ(file->Read(bytes, 1), 0u);
    EXPECT_EQ(file->Write("x", 1), 0u) << "opened for reading only";
}

TEST_F(WindowsFileSystem, RefusesBadOpensAndKeepsExistingDirectories) {
    const std::wstring missing = directory + L"data.bin";
    EXPECT_EQ(fileSystem.OpenFile(nullptr, kOpenRead), nullptr);
    EXPECT_EQ(fileSystem.OpenFile(missing.c_str(), kOpenRead), nullptr);
    EXPECT_EQ(fileSystem.OpenFile(missing.c_str(), 3 | kOpenCreate), nullptr);
    EXPECT_EQ(::GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES) << "access 3 touches nothing";
    EXPECT_EQ(fileSystem.OpenFile(directory.c_str(), kOpenRead), nullptr) << "a directory is not a file";

    const std::wstring sub = directory + L"sub";
    EXPECT_TRUE(fileSystem.CreateDirectory(sub.c_str()));
    EXPECT_TRUE(fileSystem.CreateDirectory(sub.c_str())) << "already there";
    EXPECT_FALSE(fileSystem.CreateDirectory((directory + L"no\\such\\sub").c_str()));

    EXPECT_NE(fileSystem.OpenFile(missing.c_str(), kOpenReadWrite | kOpenCreate | kOpenKeepExisting),
              nullptr);
    EXPECT_TRUE(fileSystem.DeleteFile(missing.c_str()));
    EXPECT_FALSE(fileSystem.DeleteFile(missing.c_str()));
}

// A size or position whose low half is 0xFFFFFFFF is valid: only a non-zero last error makes it a
// failure, and an error left over from an earlier call must not count.
TEST_F(WindowsFileSystem, LowHalfOfAllOnesIsAValidSizeAndPosition) {
    const std::wstring path = directory + L"large.bin";
    auto file = fileSystem.OpenFile(path.c_str(), kOpenReadWrite | kOpenCreate);
    ASSERT_NE(file, nullptr);
    constexpr std::uint64_t kSize = 0x1FFFFFFFFull;
    if (!file->SetSize64(kSize)) {
        GTEST_SKIP() << "the temporary file system cannot hold an 8 GiB sparse file";
    }
    ::SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(file->GetSize64(), kSize);
    ::SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_TRUE(file->Seek64(0xFFFFFFFFll));
    ::SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(file->Tell64(), 0xFFFFFFFFull);
    EXPECT_TRUE(file->SeekFromEnd64(0));
    EXPECT_EQ(file->Tell64(), kSize);
}

} // namespace
} // namespace tavro
