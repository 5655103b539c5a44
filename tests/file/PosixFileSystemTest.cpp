// The host file system on real files in a temporary directory.
#include "file/FileInfo.h"
#include "file/FileSystem.h"
#include "file/WidePath.h"
#include "tests/TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tavro {
namespace {

class HostFileSystem : public ::testing::Test {
protected:
    std::wstring PathOf(const std::string& name) const { return Utf8ToWide((directory / name).string()); }

    testing::TempDirectory temp;
    std::filesystem::path directory = temp.path;
    CFileSystem& fileSystem = GetFileSystem();
};

TEST_F(HostFileSystem, WritesReadsAndResizes) {
    const std::wstring path = PathOf("data.bin");
    {
        auto file = fileSystem.OpenFile(path.c_str(), kOpenWrite | kOpenCreate);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->GetFileSystem(), &fileSystem);
        EXPECT_EQ(std::wstring(file->GetFileInfo()->GetPath()), path);
        EXPECT_EQ(file->Write("hello world", 11), 11u);
        EXPECT_TRUE(file->SetSize(5));
    }
    auto file = fileSystem.OpenFile(path.c_str(), kOpenRead);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->GetSize64(), 5u);
    char text[16] = {};
    EXPECT_EQ(file->Read(text, 16), 5u);
    EXPECT_EQ(std::string(text), "hello");
    EXPECT_EQ(file->Read(text, 1), 0u);
    ASSERT_TRUE(file->Seek(100)); // beyond the end is allowed; reading there gives nothing
    EXPECT_EQ(file->Read(text, 1), 0u);
    ASSERT_TRUE(file->SeekFromEnd(2));
    EXPECT_EQ(file->Read(text, 16), 2u);
    EXPECT_FALSE(file->Seek(-1));
    EXPECT_EQ(file->Write("x", 1), 0u); // opened for reading only
}

TEST_F(HostFileSystem, DispositionsFollowTheModeBits) {
    const std::wstring path = PathOf("modes.bin");
    EXPECT_EQ(fileSystem.OpenFile(path.c_str(), kOpenRead), nullptr); // missing
    EXPECT_EQ(fileSystem.OpenFile(path.c_str(), kOpenRead | kOpenKeepExisting), nullptr);
    EXPECT_EQ(fileSystem.OpenFile(path.c_str(), 3 | kOpenCreate), nullptr);
    EXPECT_FALSE(std::filesystem::exists(directory / "modes.bin"));
    fileSystem.OpenFile(path.c_str(), kOpenWrite | kOpenCreate)->Write("abc", 3);
    EXPECT_EQ(fileSystem.OpenFile(path.c_str(), kOpenReadWrite | kOpenCreate | kOpenKeepExisting)->GetSize(),
              3u);
    EXPECT_EQ(fileSystem.OpenFile(path.c_str(), kOpenReadWrite | kOpenCreate)->GetSize(), 0u);
    EXPECT_EQ(fileSystem.OpenFile(nullptr, kOpenRead), nullptr);
}

TEST_F(HostFileSystem, RefusesWhatIsNotARegularFile) {
    EXPECT_EQ(fileSystem.OpenFile(Utf8ToWide(directory.string()).c_str(), kOpenRead), nullptr);
    const std::string fifo = (directory / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(fileSystem.OpenFile(Utf8ToWide(fifo).c_str(), kOpenRead), nullptr); // and does not block
}

TEST_F(HostFileSystem, DeletesFilesAndCreatesDirectories) {
    const std::wstring sub = PathOf("sub");
    EXPECT_TRUE(fileSystem.CreateDirectory(sub.c_str()));
    EXPECT_TRUE(fileSystem.CreateDirectory(sub.c_str()));
    EXPECT_FALSE(fileSystem.CreateDirectory(PathOf("missing/deeper").c_str()));
    const std::wstring path = PathOf("sub/gone.bin");
    ASSERT_NE(fileSystem.OpenFile(path.c_str(), kOpenWrite | kOpenCreate), nullptr);
    EXPECT_TRUE(fileSystem.DeleteFile(path.c_str()));
    EXPECT_FALSE(fileSystem.DeleteFile(path.c_str()));
}

TEST(WidePath, RoundTripsAndReplacesMalformedBytes) {
    const std::string text = "LINKDATA1.bin \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
    EXPECT_EQ(Utf8ToWide("a\xC3"), L"a\uFFFD");
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD");       // overlong encoding
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80").front(), L'\uFFFD'); // encoded surrogate
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
