// What only the POSIX file system meets: nodes that are not regular files, and UTF-8 paths.
#include "file/FileSystem.h"
#include "file/WidePath.h"
#include "tests/TempDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace tavro {
namespace {

TEST(PosixFileSystem, RefusesAFifoWithoutBlocking) {
    testing::TempDirectory temp;
    const std::string fifo = (temp.path / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(GetFileSystem().OpenFile(Utf8ToWide(fifo).c_str(), kOpenRead), nullptr);
}

TEST(WidePath, RoundTripsAndReplacesMalformedBytes) {
    const std::string text = "LINKDATA1.bin \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
    EXPECT_EQ(Utf8ToWide("a\xC3"), L"a\uFFFD");
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD");       // overlong encoding
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80").front(), L'\uFFFD'); // encoded surrogate
}

} // namespace
} // namespace tavro
