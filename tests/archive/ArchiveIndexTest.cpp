// Opening an archive pair: paths, known index sizes, the entry table and failures that leave it closed.
#include "archive/BinArchive.h"
#include "file/LittleEndian.h"
#include "tests/archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

using testing::MemoryFileSystem;

// An index of indexSize bytes whose first records are (size, compressed size) pairs.
std::vector<std::uint8_t> MakeIndex(std::uint32_t indexSize,
                                    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& records) {
    std::vector<std::uint8_t> bytes(indexSize, 0);
    for (std::size_t i = 0; i < records.size(); ++i) {
        StoreU32(&bytes[i * 12], records[i].first);
        StoreU32(&bytes[i * 12 + 4], records[i].second);
        StoreU32(&bytes[i * 12 + 8], 0xDEADBEEF); // the unused word must not matter
    }
    return bytes;
}

class ArchiveIndex : public ::testing::Test {
protected:
    void AddPair(const std::wstring& binPath, const std::wstring& idxPath, std::vector<std::uint8_t> index) {
        files.files[binPath].bytes = {1, 2, 3};
        files.files[idxPath].bytes = std::move(index);
    }
    template <typename Reader>
    std::unique_ptr<Reader> MakeReader() {
        auto reader = std::make_unique<Reader>();
        reader->SetFileSystem(&files);
        return reader;
    }

    MemoryFileSystem files;
};

struct IndexSizeCase {
    bool orochiz;
    std::uint32_t indexSize;
    std::int32_t expectedCount; // -1: Open fails
};

TEST_F(ArchiveIndex, IndexSizeSelectsTheEntryCount) {
    const IndexSizeCase cases[] = {
        {true, 76080, 4251},  {true, 12352, 652}, {true, 15784, 757},   {true, 24036, -1},
        {true, 12340, -1},    {true, 0, -1},      {false, 24036, 1571}, {false, 23928, 1571},
        {false, 23940, 1572}, {false, 76080, -1}, {false, 12352, -1},
    };
    for (const IndexSizeCase& c : cases) {
        AddPair(L"A.bin", L"A.idx", MakeIndex(c.indexSize, {}));
        std::unique_ptr<CKOEIFile_BIN_SM5> reader;
        if (c.orochiz) {
            reader = MakeReader<CKOEIFile_BIN_OROCHIZ>();
        } else {
            reader = MakeReader<CKOEIFile_BIN_SM5>();
        }
        const bool opened = reader->Open(L"A.bin", kOpenRead);
        SCOPED_TRACE(::testing::Message() << (c.orochiz ? "orochiz " : "sm5 ") << c.indexSize);
        EXPECT_EQ(opened, c.expectedCount >= 0);
        EXPECT_EQ(reader->GetEntryCount(),
                  c.expectedCount >= 0 ? static_cast<std::uint32_t>(c.expectedCount) : 0u);
        reader.reset();
        EXPECT_EQ(files.liveFiles, 0);
    }
}

TEST_F(ArchiveIndex, RunningOffsetPadsEachEntryTo2048) {
    AddPair(L"LINKDATA1.bin", L"LINKDATA1.idx",
            MakeIndex(12352, {{5000, 0},
                              {9000, 2048},
                              {0, 0},
                              {10, 0},
                              {2048, 0},
                              {1, 0},
                              {0xFFFFF800, 0},
                              {0xFFFFF800, 0},
                              {7, 0}}));
    auto reader = MakeReader<CKOEIFile_BIN_OROCHIZ>();
    ASSERT_TRUE(reader->Open(L"LINKDATA1.bin", kOpenRead));
    EXPECT_EQ(files.opened, (std::vector<std::wstring>{L"LINKDATA1.bin", L"LINKDATA1.idx"}));
    EXPECT_EQ(files.liveFiles, 1); // only the data file stays open
    const std::uint64_t offsets[] = {
        0, 6144, 8192, 8192, 10240, 12288, 14336, 14336 + 0xFFFFF800ull, 14336 + 2 * 0xFFFFF800ull};
    const std::uint32_t storedSizes[] = {5000, 2048, 0, 10, 2048, 1, 0xFFFFF800, 0xFFFFF800, 7};
    for (std::uint32_t i = 0; i < 9; ++i) {
        EXPECT_EQ(reader->GetEntryOffset(i), offsets[i]) << i; // beyond 4 GiB without wrapping
        EXPECT_EQ(reader->GetEntryStoredSize(i), storedSizes[i]) << i;
        EXPECT_EQ(reader->IsEntryCompressed(i), i == 1) << i;
    }
    EXPECT_EQ(reader->GetEntrySize(1), 9000u);
    EXPECT_EQ(reader->GetEntryOffset(651), reader->GetEntryOffset(9)); // empty records do not move it
}

// The extension is matched in any case and the index named in lower case. A refused open releases the
// data file it opened and leaves the archive closed, even after a good open.
TEST_F(ArchiveIndex, RefusedOpensLeaveTheArchiveClosed) {
    AddPair(L"Data.BIN", L"Data.idx", MakeIndex(12352, {{10, 0}}));
    files.files[L"Data.BIN2"].bytes = {1};
    files.files[L"bin"].bytes = {1};
    files.files[L"noindex.bin"].bytes = {1};
    // An index that claims a known size but holds fewer bytes reads short.
    AddPair(L"short.bin", L"short.idx", std::vector<std::uint8_t>(100));
    files.files[L"short.idx"].claimedSize = 12352;
    auto reader = MakeReader<CKOEIFile_BIN_OROCHIZ>();
    for (const wchar_t* path : {L"Data.BIN2", L"bin", L"Missing.bin", L"noindex.bin", L"short.bin"}) {
        ASSERT_TRUE(reader->Open(L"Data.BIN", kOpenRead));
        EXPECT_EQ(files.opened.back(), L"Data.idx");
        EXPECT_FALSE(reader->Open(path, kOpenRead)) << path;
        EXPECT_EQ(reader->GetEntryCount(), 0u) << path;
        EXPECT_EQ(files.liveFiles, 0) << path;
    }
}

TEST_F(ArchiveIndex, ReopeningReplacesTheTableAndCloseEmptiesIt) {
    AddPair(L"a.bin", L"a.idx", MakeIndex(12352, {{10, 0}}));
    AddPair(L"b.bin", L"b.idx", MakeIndex(15784, {{20, 4}}));
    auto reader = MakeReader<CKOEIFile_BIN_OROCHIZ>();
    ASSERT_TRUE(reader->Open(L"a.bin", kOpenRead));
    ASSERT_TRUE(reader->Open(L"b.bin", kOpenRead));
    EXPECT_EQ(reader->GetEntryCount(), 757u);
    EXPECT_EQ(reader->GetEntrySize(0), 20u);
    EXPECT_TRUE(reader->IsEntryCompressed(0));
    EXPECT_EQ(files.liveFiles, 1);
    reader->Close();
    reader->Close();
    EXPECT_EQ(reader->GetEntryCount(), 0u);
    EXPECT_EQ(files.liveFiles, 0);
}

TEST_F(ArchiveIndex, PlainFileIsOneStoredEntry) {
    files.files[L"plain.dat"].bytes = {5, 6, 7};
    CFileBase base;
    base.SetFileSystem(&files);
    EXPECT_EQ(base.GetEntryCount(), 0u);
    ASSERT_TRUE(base.Open(L"plain.dat", kOpenRead));
    EXPECT_EQ(base.GetEntryCount(), 1u);
    EXPECT_EQ(base.GetEntrySize(0), 3u);
    EXPECT_EQ(base.FindEntry(L"plain.dat"), -1); // entries have no names
    std::uint8_t* bytes = nullptr;
    ASSERT_EQ(base.ExtractEntry(0, bytes), 3u);
    EXPECT_EQ(testing::ToVector(bytes, 3), (std::vector<std::uint8_t>{5, 6, 7}));
    delete[] bytes;
}

} // namespace
} // namespace tavro
