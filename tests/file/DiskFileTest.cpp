// The platform-free disk-file logic, driven through a scripted handle layer.
#include "file/DiskFile.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavro {
namespace {

constexpr std::uint32_t kMiB = 1024 * 1024;
constexpr std::uint32_t kSomeError = 131;

class ScriptedDiskFile : public CDiskFile {
public:
    ScriptedDiskFile() : CDiskFile(nullptr, nullptr) {}

    std::vector<std::uint32_t> calls; // the count asked of every read or write, in order
    int failingCall = -1;             // this call reports failure
    int shortCall = -1;               // this call moves shortCount bytes
    std::uint32_t shortCount = 0;
    std::uint64_t position = 0;
    std::uint64_t size = 0;
    bool sizeFails = false;
    bool setEndFails = false;

protected:
    bool OsRead(void*, std::uint32_t count, std::uint32_t& transferred) override {
        return Transfer(count, transferred);
    }
    bool OsWrite(const void*, std::uint32_t count, std::uint32_t& transferred) override {
        return Transfer(count, transferred);
    }
    std::uint32_t OsSetPointer(std::int64_t distance, SeekOrigin origin, std::uint32_t& newHigh) override {
        const std::int64_t base = origin == SeekOrigin::Begin     ? 0
                                  : origin == SeekOrigin::Current ? static_cast<std::int64_t>(position)
                                                                  : static_cast<std::int64_t>(size);
        if (base + distance < 0) {
            lastError = kSomeError;
            return 0xFFFFFFFFu;
        }
        lastError = 0;
        position = static_cast<std::uint64_t>(base + distance);
        newHigh = static_cast<std::uint32_t>(position >> 32);
        return static_cast<std::uint32_t>(position);
    }
    std::uint32_t OsGetSize(std::uint32_t& high) override {
        lastError = sizeFails ? kSomeError : 0;
        if (sizeFails) {
            return 0xFFFFFFFFu;
        }
        high = static_cast<std::uint32_t>(size >> 32);
        return static_cast<std::uint32_t>(size);
    }
    bool OsSetEnd() override {
        if (setEndFails) {
            return false;
        }
        size = position;
        return true;
    }
    std::uint32_t OsLastError() override { return lastError; }

private:
    bool Transfer(std::uint32_t count, std::uint32_t& transferred) {
        const int call = static_cast<int>(calls.size());
        calls.push_back(count);
        if (call == failingCall) {
            return false;
        }
        transferred = call == shortCall ? shortCount : count;
        return true;
    }

    std::uint32_t lastError = 0;
};

struct TransferCase {
    const char* name;
    std::uint32_t count;
    int failingCall;
    int shortCall;
    std::uint32_t shortCount;
    std::uint32_t expectedResult;
    std::vector<std::uint32_t> expectedCalls;
};

class DiskFileTransfer : public ::testing::TestWithParam<TransferCase> {};

TEST_P(DiskFileTransfer, ReadAndWriteMoveInFourMebibyteChunks) {
    const TransferCase& c = GetParam();
    std::vector<std::uint8_t> bytes(c.count + 1);
    for (const bool reading : {true, false}) {
        ScriptedDiskFile file;
        file.failingCall = c.failingCall;
        file.shortCall = c.shortCall;
        file.shortCount = c.shortCount;
        const std::uint32_t result =
            reading ? file.Read(bytes.data(), c.count) : file.Write(bytes.data(), c.count);
        EXPECT_EQ(result, c.expectedResult) << (reading ? "read" : "write");
        EXPECT_EQ(file.calls, c.expectedCalls) << (reading ? "read" : "write");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DiskFileTransfer,
    ::testing::Values(
        TransferCase{"TenMiB", 10 * kMiB, -1, -1, 0, 10 * kMiB, {4 * kMiB, 4 * kMiB, 2 * kMiB}},
        TransferCase{"ExactChunk", 4 * kMiB, -1, -1, 0, 4 * kMiB, {4 * kMiB}},
        TransferCase{"Zero", 0, -1, -1, 0, 0, {}},
        TransferCase{"FailureKeepsEarlierChunks", 10 * kMiB, 1, -1, 0, 4 * kMiB, {4 * kMiB, 4 * kMiB}},
        TransferCase{"ShortChunkEnds", 10 * kMiB, -1, 1, 100, 4 * kMiB + 100, {4 * kMiB, 4 * kMiB}},
        TransferCase{"OverlongCountIsCapped", 100, -1, 0, 500, 100, {100}}),
    [](const auto& testInfo) { return testInfo.param.name; });

TEST(DiskFile, NullPointersTransferNothing) {
    ScriptedDiskFile file;
    EXPECT_EQ(file.Read(nullptr, 10), 0u);
    EXPECT_EQ(file.Write(nullptr, 10), 0u);
    EXPECT_TRUE(file.calls.empty());
}

TEST(DiskFile, PositionsUseAllSixtyFourBits) {
    ScriptedDiskFile file;
    file.size = 0x1FFFFFFFFull; // low half 0xFFFFFFFF with no error is a real value
    EXPECT_EQ(file.GetSize64(), 0x1FFFFFFFFull);
    EXPECT_EQ(file.GetSize(), 0xFFFFFFFFu);
    ASSERT_TRUE(file.SeekFromEnd64(0));
    EXPECT_EQ(file.Tell64(), 0x1FFFFFFFFull);
    EXPECT_EQ(file.Tell(), 0xFFFFFFFFu);
    ASSERT_TRUE(file.Seek64(0x300000000ll)); // beyond the end is allowed
    EXPECT_EQ(file.Tell64(), 0x300000000ull);
    ASSERT_TRUE(file.Skip(-1));
    EXPECT_EQ(file.Tell64(), 0x2FFFFFFFFull);
    file.sizeFails = true; // a failed query reports 0
    EXPECT_EQ(file.GetSize64(), 0u);
}

TEST(DiskFile, RefusedMovesKeepThePosition) {
    ScriptedDiskFile file;
    file.size = 100;
    ASSERT_TRUE(file.Seek(40));
    EXPECT_FALSE(file.Seek(-1));        // sign-extended, refused before the platform sees it
    EXPECT_FALSE(file.SeekFromEnd(-1)); // likewise
    EXPECT_FALSE(file.Skip64(-41));     // the platform refuses it with an error
    EXPECT_FALSE(file.SeekFromEnd64(101));
    EXPECT_EQ(file.Tell64(), 40u);
    ASSERT_TRUE(file.SeekFromEnd(0));
    EXPECT_EQ(file.Tell(), 100u);
}

TEST(DiskFile, SetSizeMovesThenCutsTheEnd) {
    ScriptedDiskFile file;
    file.size = 100;
    EXPECT_TRUE(file.SetSize(30));
    EXPECT_EQ(file.size, 30u);
    EXPECT_EQ(file.position, 30u);
    file.setEndFails = true;
    EXPECT_FALSE(file.SetSize64(50));
    EXPECT_EQ(file.position, 50u);
    EXPECT_FALSE(file.SetSize64(0x8000000000000000ull));
    EXPECT_EQ(file.position, 50u);
}

} // namespace
} // namespace tavro
