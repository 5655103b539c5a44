// What only the Win32 disk file meets: sizes and positions whose low half reads as the failure value.
#include "file/FileSystem.h"
#include "tests/TempDirectory.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tavro {
namespace {

// A size or position whose low half is 0xFFFFFFFF is valid: only a non-zero last error makes it a
// failure, and an error left over from an earlier call must not count.
TEST(WindowsFileSystem, LowHalfOfAllOnesIsAValidSizeAndPosition) {
    const testing::TempDirectory temp;
    auto file =
        GetFileSystem().OpenFile((temp.path / "large.bin").wstring().c_str(), kOpenReadWrite | kOpenCreate);
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
