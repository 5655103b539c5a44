// Extracting entries from archives built by the archive writer.
#include "archive/BinArchive.h"
#include "authoring/ArchiveWriter.h"
#include "authoring/Lzp2Encoder.h"
#include "file/WidePath.h"
#include "tests/archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

namespace tavro {
namespace {

using testing::PatternBytes;
using testing::RecordingFile;
using testing::ToVector;

constexpr std::uint32_t kEntryCount = 652;

// The entries of the shared test archive.
enum Entry : std::uint32_t {
    kSmallStored = 0,
    kTextCompressed = 1,
    kEmpty = 2,
    kOneChunk = 3,     // stored, exactly one transfer chunk
    kChunkAndByte = 4, // stored, one chunk and one byte
    kMultiBlock = 5,   // compressed, three LZP2 blocks
    kBadMagic = 6,     // compressed, with a damaged magic
    kNoisyStored = 7,
    kCompressedSizeZero = 8,
    kXoredCompressed = 9, // the compressed text entry with every stored byte XORed with 0x5A
    // Compressed in 2048 bytes, a block of a header and an end op, with the largest size they decode
    // to (a block of zeros) and one byte more.
    kAtDecodeLimit = 10,
    kBeyondDecodeLimit = 11,
    kLast = 12, // stored, the last bytes of the data file
};

// The stored bytes of the two entries at the decode limit.
std::vector<std::uint8_t> EmptyBlockStream() {
    std::vector<std::uint8_t> stream(2048, 0);
    const std::uint8_t header[] = {'L', 'Z', 'P', '2', 0, 0, 0, 0, 0x00, 0x00, 0x08, 0x00, 1, 0, 0, 0};
    std::memcpy(stream.data(), header, sizeof header);
    return stream;
}

std::vector<std::uint8_t> Xored(std::vector<std::uint8_t> bytes) {
    for (std::uint8_t& byte : bytes) {
        byte ^= 0x5A;
    }
    return bytes;
}

std::vector<std::uint8_t> ContentOf(std::uint32_t entry) {
    switch (entry) {
    case kSmallStored:
        return PatternBytes(5000, 1, false);
    case kTextCompressed:
        return PatternBytes(9000, 2, true);
    case kOneChunk:
        return PatternBytes(CFileBase::kTransferChunk, 3, false);
    case kChunkAndByte:
        return PatternBytes(CFileBase::kTransferChunk + 1, 4, false);
    case kMultiBlock:
        return PatternBytes(3 * 524288 - 100, 5, true);
    case kNoisyStored:
        return PatternBytes(2048, 7, false);
    case kAtDecodeLimit:
        return std::vector<std::uint8_t>(524288, 0);
    case kLast:
        return PatternBytes(3000, 9, false);
    default:
        return {};
    }
}

class EntryExtraction : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        directory = std::make_unique<testing::TempDirectory>();
        binPath = Utf8ToWide((directory->path / "LINKDATA1.bin").string());
        authoring::CArchiveWriter writer;
        ASSERT_TRUE(writer.Create(directory->path / "LINKDATA1.bin")) << writer.GetError();
        for (std::uint32_t i = 0; i < kEntryCount; ++i) {
            const std::vector<std::uint8_t> content = ContentOf(i);
            bool added = false;
            if (i == kTextCompressed || i == kMultiBlock) {
                added = writer.AddCompressed(content);
            } else if (i == kBadMagic) {
                std::vector<std::uint8_t> stream = PatternBytes(2048, 6, false);
                std::memcpy(stream.data(), "LZP1", 4);
                added = writer.AddPrecompressed(stream, 100);
            } else if (i == kXoredCompressed) {
                added =
                    writer.AddPrecompressed(Xored(authoring::Lzp2Encode(ContentOf(kTextCompressed))), 9000);
            } else if (i == kAtDecodeLimit || i == kBeyondDecodeLimit) {
                added = writer.AddPrecompressed(EmptyBlockStream(), i == kAtDecodeLimit ? 524288 : 524289);
            } else if (i == kCompressedSizeZero) {
                added = writer.AddPrecompressed(std::vector<std::uint8_t>(2048, 0), 0);
            } else if (content.empty()) {
                added = writer.AddEmpty();
            } else {
                added = writer.AddStored(content);
            }
            ASSERT_TRUE(added) << writer.GetError();
        }
        ASSERT_TRUE(writer.Finish()) << writer.GetError();
    }
    static void TearDownTestSuite() { directory.reset(); }

    void SetUp() override { ASSERT_TRUE(archive.Open(binPath.c_str(), kOpenRead)); }

    std::vector<std::uint8_t> Extract(std::uint32_t entry) {
        std::uint8_t* bytes = nullptr;
        const std::uint32_t size = archive.ExtractEntry(entry, bytes);
        if (size == 0) {
            EXPECT_EQ(bytes, nullptr);
            return {};
        }
        std::vector<std::uint8_t> result = ToVector(bytes, size);
        delete[] bytes;
        return result;
    }

    static inline std::unique_ptr<testing::TempDirectory> directory;
    static inline std::wstring binPath;
    CKOEIFile_BIN_OROCHIZ archive;
};

TEST_F(EntryExtraction, DeliversEveryEntryExactly) {
    ASSERT_EQ(archive.GetEntryCount(), kEntryCount);
    for (std::uint32_t entry : {kSmallStored, kTextCompressed, kOneChunk, kChunkAndByte, kMultiBlock,
                                kNoisyStored, kAtDecodeLimit, kLast}) {
        EXPECT_EQ(Extract(entry), ContentOf(entry)) << "entry " << entry;
    }
    EXPECT_TRUE(archive.IsEntryCompressed(kMultiBlock));
    EXPECT_LT(archive.GetEntryStoredSize(kTextCompressed), archive.GetEntrySize(kTextCompressed));
}

TEST_F(EntryExtraction, RefusalsLeaveTheArchiveUsable) {
    for (std::uint32_t entry : {std::uint32_t{kEmpty}, std::uint32_t{kBadMagic},
                                std::uint32_t{kCompressedSizeZero}, kEntryCount, kEntryCount + 1000}) {
        std::uint8_t* bytes = reinterpret_cast<std::uint8_t*>(&entry); // must be reset to null
        EXPECT_EQ(archive.ExtractEntry(entry, bytes), 0u) << "entry " << entry;
        EXPECT_EQ(bytes, nullptr);
        EXPECT_EQ(Extract(kTextCompressed), ContentOf(kTextCompressed)) << "after entry " << entry;
    }
    archive.Close();
    std::uint8_t* bytes = nullptr;
    EXPECT_EQ(archive.ExtractEntry(kSmallStored, bytes), 0u);
    RecordingFile destination;
    EXPECT_EQ(archive.ExtractEntryTo(kSmallStored, destination), 0u);
}

// Counts the decoder's runs and the compressed extractions begun (each allocates the entry's buffers).
class CountingArchive : public CKOEIFile_BIN_OROCHIZ {
public:
    std::uint32_t ExtractCompressedEntry(CAbstractFile& destination, std::uint32_t storedSize,
                                         std::uint32_t size, std::uint32_t index,
                                         std::uint32_t mode) override {
        ++begun;
        return CKOEIFile_BIN_OROCHIZ::ExtractCompressedEntry(destination, storedSize, size, index, mode);
    }
    bool DecompressEntry(std::uint32_t index, const std::uint8_t* source, std::uint32_t sourceSize,
                         std::uint8_t*& output, std::uint32_t& outputSize) override {
        ++decodes;
        return CKOEIFile_BIN_OROCHIZ::DecompressEntry(index, source, sourceSize, output, outputSize);
    }

    int begun = 0;
    int decodes = 0;
};

// Records every per-entry query made with an index outside the table; those queries do not check the
// index themselves, so extraction must ask nothing about an entry before it knows the entry exists.
class ProbingArchive : public CKOEIFile_BIN_OROCHIZ {
public:
    std::uint32_t GetEntrySize(std::uint32_t index) override {
        return Inside(index) ? CKOEIFile_BIN_OROCHIZ::GetEntrySize(index) : 0;
    }
    std::uint32_t GetEntryStoredSize(std::uint32_t index) override {
        return Inside(index) ? CKOEIFile_BIN_OROCHIZ::GetEntryStoredSize(index) : 0;
    }
    bool IsEntryCompressed(std::uint32_t index) override {
        return Inside(index) && CKOEIFile_BIN_OROCHIZ::IsEntryCompressed(index);
    }

    std::vector<std::uint32_t> outside;

private:
    bool Inside(std::uint32_t index) {
        if (index < GetEntryCount()) {
            return true;
        }
        outside.push_back(index);
        return false;
    }
};

TEST_F(EntryExtraction, NothingIsAskedAboutEntriesPastTheTable) {
    ProbingArchive probing;
    ASSERT_TRUE(probing.Open(binPath.c_str(), kOpenRead));
    for (const std::uint32_t entry : {kEntryCount, kEntryCount + 1, std::uint32_t{0xFFFFFFFF}}) {
        std::uint8_t* bytes = nullptr;
        EXPECT_EQ(probing.ExtractEntry(entry, bytes), 0u);
        RecordingFile destination;
        EXPECT_EQ(probing.ExtractEntryTo(entry, destination), 0u);
    }
    EXPECT_EQ(probing.outside, std::vector<std::uint32_t>{});
}

// An entry that declares more than its stored bytes can decode to is refused before the decoder runs,
// so before a buffer of the declared size exists.
TEST_F(EntryExtraction, SizeBeyondTheDecodeLimitIsRefusedUndecoded) {
    CountingArchive counting;
    ASSERT_TRUE(counting.Open(binPath.c_str(), kOpenRead));
    RecordingFile destination;
    EXPECT_EQ(counting.ExtractEntryTo(kBeyondDecodeLimit, destination), 0u);
    EXPECT_EQ(counting.decodes, 0);
    EXPECT_EQ(counting.ExtractEntryTo(kAtDecodeLimit, destination), 524288u);
    EXPECT_EQ(counting.decodes, 1);
}

TEST_F(EntryExtraction, OtherDestinationsReceiveStoredEntriesInChunks) {
    struct Case {
        std::uint32_t entry;
        std::vector<std::uint32_t> writes;
    };
    const Case cases[] = {{kOneChunk, {524288}},
                          {kChunkAndByte, {524288, 1}},
                          {kMultiBlock, {3 * 524288 - 100}}, // decoded, then written at once
                          {kSmallStored, {5000}}};
    for (const Case& c : cases) {
        RecordingFile destination;
        EXPECT_EQ(archive.ExtractEntryTo(c.entry, destination), ContentOf(c.entry).size());
        EXPECT_EQ(destination.writes, c.writes) << "entry " << c.entry;
        EXPECT_EQ(destination.content, ContentOf(c.entry)) << "entry " << c.entry;
    }
}

TEST_F(EntryExtraction, MemoryDestinationTakesTheBlockOver) {
    for (std::uint32_t entry : {kSmallStored, kTextCompressed}) {
        CMemoryFile destination;
        ASSERT_EQ(destination.Write("previous content", 16), 16u);
        const std::uint32_t size = archive.ExtractEntryTo(entry, destination);
        ASSERT_EQ(size, ContentOf(entry).size());
        EXPECT_EQ(destination.GetSize(), size);
        EXPECT_EQ(destination.GetCapacity(), size);
        EXPECT_EQ(destination.Tell(), 0u);
        EXPECT_EQ(ToVector(destination.GetBuffer(), size), ContentOf(entry));
        const std::unique_ptr<std::uint8_t[]> owned(destination.DetachBuffer()); // null unless owned
        EXPECT_NE(owned, nullptr);
    }
}

TEST_F(EntryExtraction, TruncatedDataFileFailsTheEntriesItCuts) {
    const std::uint64_t atDecodeLimit = archive.GetEntryOffset(kAtDecodeLimit);
    archive.Close();
    const std::filesystem::path bin = directory->path / "LINKDATA1.bin";
    const std::filesystem::path whole = directory->path / "whole.bin";
    std::filesystem::copy_file(bin, whole);
    const std::uintmax_t fullSize = std::filesystem::file_size(bin);
    // The last entry (3000 bytes, padded to 4096) loses its last byte.
    std::filesystem::resize_file(bin, fullSize - 4096 + 2999);
    ASSERT_TRUE(archive.Open(binPath.c_str(), kOpenRead));
    EXPECT_TRUE(Extract(kLast).empty());
    EXPECT_EQ(Extract(kNoisyStored), ContentOf(kNoisyStored));
    archive.Close();
    // Cut one byte before an entry starts, the entry lies wholly past the end: it is refused before
    // its buffers are sized by its index record, which a damaged index can make gigabytes.
    std::filesystem::resize_file(bin, atDecodeLimit - 1);
    CountingArchive counting;
    ASSERT_TRUE(counting.Open(binPath.c_str(), kOpenRead));
    RecordingFile destination;
    EXPECT_EQ(counting.ExtractEntryTo(kAtDecodeLimit, destination), 0u);
    EXPECT_EQ(counting.begun, 0);
    EXPECT_EQ(counting.ExtractEntryTo(kTextCompressed, destination), ContentOf(kTextCompressed).size());
    EXPECT_EQ(counting.begun, 1);
    counting.Close();
    // Removed first: MinGW's copy_file refuses to overwrite, whatever its options say.
    std::filesystem::remove(bin);
    std::filesystem::copy_file(whole, bin);
    std::filesystem::remove(whole);
}

// Reports a fixed transform mode for every entry; its transform XORs bytes with 0x5A, records each
// call's byte count and can be told to fail.
class TransformingArchive : public CKOEIFile_BIN_OROCHIZ {
public:
    std::uint32_t GetEntryTransform(std::uint32_t) override { return mode; }
    bool TransformEntryData(std::uint32_t, std::uint8_t* bytes, std::uint32_t count) override {
        calls.push_back(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            bytes[i] ^= 0x5A;
        }
        return !failing;
    }

    std::uint32_t mode = 0;
    bool failing = false;
    std::vector<std::uint32_t> calls;
};

TEST_F(EntryExtraction, TransformModesActWhereTheyBelong) {
    TransformingArchive transforming;
    ASSERT_TRUE(transforming.Open(binPath.c_str(), kOpenRead));
    const std::vector<std::uint8_t> chunked = ContentOf(kChunkAndByte);
    const std::vector<std::uint8_t> text = ContentOf(kTextCompressed);
    const std::uint32_t storedText = transforming.GetEntryStoredSize(kXoredCompressed);
    struct Case {
        std::uint32_t mode;
        std::vector<std::uint32_t> streamedCalls;   // stored entry to another destination
        std::vector<std::uint32_t> compressedCalls; // compressed entry to memory
    };
    const Case cases[] = {
        {0, {}, {}},
        {1, {524288, 1}, {storedText}},
        {2, {524289}, {storedText}},
        {3, {524288, 1}, {9000}},
        {4, {524289}, {9000}},
        {7, {524288, 1}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode);
        transforming.mode = c.mode;
        transforming.calls.clear();
        RecordingFile destination;
        EXPECT_EQ(transforming.ExtractEntryTo(kChunkAndByte, destination), chunked.size());
        EXPECT_EQ(transforming.calls, c.streamedCalls);
        EXPECT_EQ(destination.content, c.mode == 0 ? chunked : Xored(chunked));

        transforming.calls.clear();
        CMemoryFile memory;
        EXPECT_EQ(transforming.ExtractEntryTo(kSmallStored, memory), 5000u);
        EXPECT_EQ(transforming.calls,
                  c.mode == 0 ? std::vector<std::uint32_t>{} : std::vector<std::uint32_t>{5000});

        // Modes 1 and 2 undo the XOR of the stored stream before decoding; 3 and 4 XOR the decoded bytes.
        transforming.calls.clear();
        CMemoryFile decoded;
        const bool beforeDecoding = c.mode == 1 || c.mode == 2;
        const std::uint32_t size =
            transforming.ExtractEntryTo(beforeDecoding ? kXoredCompressed : kTextCompressed, decoded);
        EXPECT_EQ(transforming.calls, c.compressedCalls);
        ASSERT_EQ(size, text.size());
        EXPECT_EQ(ToVector(decoded.GetBuffer(), size), c.mode == 3 || c.mode == 4 ? Xored(text) : text);
    }
}

TEST_F(EntryExtraction, FailedTransformFailsTheExtraction) {
    TransformingArchive transforming;
    ASSERT_TRUE(transforming.Open(binPath.c_str(), kOpenRead));
    transforming.failing = true;
    for (std::uint32_t mode : {1u, 2u, 3u, 4u}) {
        transforming.mode = mode;
        for (std::uint32_t entry : {kSmallStored, kTextCompressed, kChunkAndByte}) {
            std::uint8_t* bytes = nullptr;
            EXPECT_EQ(transforming.ExtractEntry(entry, bytes), 0u) << "mode " << mode << " entry " << entry;
            EXPECT_EQ(bytes, nullptr);
        }
    }
    transforming.mode = 0;
    RecordingFile destination;
    EXPECT_EQ(transforming.ExtractEntryTo(kSmallStored, destination), 5000u);
}

} // namespace
} // namespace tavro
