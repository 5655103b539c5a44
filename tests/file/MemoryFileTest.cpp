#include "file/MemoryFile.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

namespace tavro {
namespace {

constexpr std::array<std::uint8_t, 8> kBytes{1, 2, 3, 4, 5, 6, 7, 8};

std::uint8_t* NewBlock(std::uint32_t size) {
    auto* block = new std::uint8_t[size];
    for (std::uint32_t i = 0; i < size; ++i) {
        block[i] = static_cast<std::uint8_t>(i + 1);
    }
    return block;
}

// Positioning rules both memory files share, checked on each of them.
template <typename File>
std::unique_ptr<CMemoryFileBase> MakeEightByteFile() {
    if constexpr (std::is_same_v<File, CMemoryFile>) {
        return std::make_unique<CMemoryFile>(NewBlock(8), 8);
    } else {
        return std::make_unique<CReadOnlyMemoryFile>(kBytes.data(), 8, false);
    }
}

template <typename File>
class MemoryFileCommon : public ::testing::Test {};
using MemoryFileTypes = ::testing::Types<CReadOnlyMemoryFile, CMemoryFile>;
TYPED_TEST_SUITE(MemoryFileCommon, MemoryFileTypes);

TYPED_TEST(MemoryFileCommon, ReadsUpToTheEnd) {
    auto file = MakeEightByteFile<TypeParam>();
    std::array<std::uint8_t, 16> out{};
    EXPECT_EQ(file->Read(nullptr, 4), 0u);
    EXPECT_EQ(file->Tell(), 0u);
    EXPECT_EQ(file->Read(out.data(), 3), 3u);
    EXPECT_EQ(file->Read(out.data() + 3, 100), 5u);
    EXPECT_EQ(std::memcmp(out.data(), kBytes.data(), 8), 0);
    EXPECT_EQ(file->Tell(), 8u);
    EXPECT_EQ(file->Read(out.data(), 1), 0u);
    ASSERT_TRUE(file->Seek(8));
    EXPECT_EQ(file->Read(out.data(), 1), 0u);
}

TYPED_TEST(MemoryFileCommon, RefusedMovesKeepThePosition) {
    auto file = MakeEightByteFile<TypeParam>();
    ASSERT_TRUE(file->Seek(5));
    EXPECT_FALSE(file->Seek(-1));
    EXPECT_FALSE(file->Skip(-6));
    EXPECT_FALSE(file->Skip(INT32_MIN));
    EXPECT_FALSE(file->SeekFromEnd(-1));
    EXPECT_FALSE(file->SeekFromEnd(9));
    EXPECT_FALSE(file->Seek64(0x80000000LL));
    EXPECT_FALSE(file->SeekFromEnd64(0x80000000LL));
    EXPECT_FALSE(file->Skip64(-(1LL << 31) - 1));
    EXPECT_FALSE(file->Skip64(-(1LL << 31))); // forwarded, then refused by Skip
    EXPECT_FALSE(file->SetSize64(1ULL << 32));
    EXPECT_EQ(file->Tell64(), 5u);
    EXPECT_EQ(file->GetSize64(), 8u);

    EXPECT_TRUE(file->Skip(-5));
    EXPECT_TRUE(file->SeekFromEnd(0));
    EXPECT_EQ(file->Tell(), 8u);
    EXPECT_TRUE(file->SeekFromEnd64(8));
    EXPECT_EQ(file->Tell(), 0u);
    EXPECT_TRUE(file->Skip64(3));
    EXPECT_EQ(file->Tell(), 3u);
}

TEST(ReadOnlyMemoryFile, NeverWritesOrGrows) {
    CReadOnlyMemoryFile file(kBytes.data(), 8, false);
    const std::uint8_t source[2] = {9, 9};
    EXPECT_EQ(file.Write(source, 2), 0u);
    EXPECT_FALSE(file.SetSize(4));
    EXPECT_FALSE(file.SetSize(8));
    EXPECT_FALSE(file.Seek(9));
    ASSERT_TRUE(file.Seek(6));
    EXPECT_FALSE(file.Skip(3));
    EXPECT_TRUE(file.Skip(2));
    EXPECT_EQ(file.GetSize(), 8u);
    EXPECT_EQ(file.GetBuffer(), kBytes.data());
    EXPECT_EQ(kBytes[0], 1);
}

TEST(ReadOnlyMemoryFile, OwningViewFreesItsBlock) {
    // Leak checking under the sanitizers is what makes this meaningful.
    CReadOnlyMemoryFile file(NewBlock(16), 16, true);
    EXPECT_EQ(file.GetBuffer()[15], 16);
}

TEST(MemoryFile, GrowthFollowsTheHalfCapacityRule) {
    CMemoryFile file;
    std::vector<std::uint8_t> data(1000, 0xAB);
    EXPECT_EQ(file.Write(data.data(), 128), 128u);
    EXPECT_EQ(file.GetCapacity(), 128u);
    EXPECT_EQ(file.Write(data.data(), 1000), 1000u);
    EXPECT_EQ(file.GetCapacity(), 1128u);
    EXPECT_EQ(file.Write(data.data(), 1), 1u);
    EXPECT_EQ(file.GetCapacity(), 1692u);
    EXPECT_EQ(file.GetSize(), 1129u);
}

TEST(MemoryFile, WritesInPlaceAndExtends) {
    CMemoryFile file(NewBlock(8), 8);
    const std::uint8_t patch[3] = {0xA, 0xB, 0xC};
    ASSERT_TRUE(file.Seek(2));
    EXPECT_EQ(file.Write(patch, 3), 3u);
    EXPECT_EQ(file.GetSize(), 8u);
    ASSERT_TRUE(file.Seek(7));
    EXPECT_EQ(file.Write(patch, 3), 3u);
    EXPECT_EQ(file.GetSize(), 10u);
    const std::uint8_t expected[10] = {1, 2, 0xA, 0xB, 0xC, 6, 7, 0xA, 0xB, 0xC};
    EXPECT_EQ(std::memcmp(file.GetBuffer(), expected, 10), 0);
    EXPECT_EQ(file.Write(nullptr, 3), 0u);
}

TEST(MemoryFile, SeekSkipAndSetSizeGrowTheFile) {
    CMemoryFile file(NewBlock(8), 8);
    EXPECT_TRUE(file.Seek(9));
    EXPECT_EQ(file.GetSize(), 9u);
    EXPECT_TRUE(file.Skip(3));
    EXPECT_EQ(file.GetSize(), 12u);
    EXPECT_EQ(file.Tell(), 12u);
    EXPECT_TRUE(file.SetSize(20));
    EXPECT_EQ(file.GetSize(), 20u);
    EXPECT_EQ(file.Tell(), 12u);
    EXPECT_FALSE(file.SeekFromEnd(21));
}

TEST(MemoryFile, ShrinkingKeepsTheBlock) {
    CMemoryFile file(NewBlock(64), 64);
    ASSERT_TRUE(file.Seek(40));
    const std::uint8_t* block = file.GetBuffer();
    EXPECT_TRUE(file.SetSize(0));
    EXPECT_EQ(file.Tell(), 0u);
    EXPECT_EQ(file.GetCapacity(), 64u);
    std::vector<std::uint8_t> data(64, 7);
    EXPECT_EQ(file.Write(data.data(), 64), 64u);
    EXPECT_EQ(file.GetBuffer(), block);
}

TEST(MemoryFile, NonOwningFileNeverGrows) {
    std::array<std::uint8_t, 8> storage = kBytes;
    CMemoryFile file(storage.data(), 8, false);
    const std::uint8_t patch[2] = {0xE, 0xF};
    ASSERT_TRUE(file.Seek(6));
    EXPECT_EQ(file.Write(patch, 2), 2u);
    EXPECT_EQ(storage[7], 0xF);
    EXPECT_EQ(file.Write(patch, 1), 0u);
    EXPECT_FALSE(file.Seek(9));
    EXPECT_FALSE(file.Skip(1));
    EXPECT_FALSE(file.SetSize(9));
    EXPECT_FALSE(file.GrowTo(9));
    EXPECT_EQ(file.Tell(), 8u);
    EXPECT_EQ(file.DetachBuffer(), nullptr);
    EXPECT_EQ(file.GetSize(), 0u);
    EXPECT_EQ(file.GetBuffer(), nullptr);
}

TEST(MemoryFile, SwapAndDetachHandOverTheBlock) {
    CMemoryFile first(NewBlock(8), 8);
    CMemoryFile second;
    ASSERT_TRUE(first.Seek(3));
    const std::uint8_t* block = first.GetBuffer();
    first.Swap(second);
    EXPECT_EQ(first.GetSize(), 0u);
    EXPECT_EQ(first.GetBuffer(), nullptr);
    EXPECT_EQ(second.GetBuffer(), block);
    EXPECT_EQ(second.Tell(), 3u);
    EXPECT_EQ(second.GetCapacity(), 8u);

    std::unique_ptr<std::uint8_t[]> detached(second.DetachBuffer());
    EXPECT_EQ(detached.get(), block);
    EXPECT_EQ(second.GetSize(), 0u);
    EXPECT_EQ(second.Tell(), 0u);
    EXPECT_EQ(second.GetCapacity(), 0u);
    // Still owning: the emptied file grows again.
    EXPECT_EQ(second.Write(kBytes.data(), 8), 8u);
}

} // namespace
} // namespace tavro
