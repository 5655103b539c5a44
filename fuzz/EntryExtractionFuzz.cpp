// Entry extraction from an archive whose index records and data bytes are fuzzed, in every transform
// mode, into a memory file and into a destination that is not one. Input: a flags byte (transform mode
// = low three bits mod 5, bit 3: the transform fails), a record count byte (mod kMaxRecords + 1), that
// many 12-byte index records (the rest of the 652-entry index stays zero), then the data file.
// Both destinations must succeed or fail together, with the same bytes, never more than the entry's
// size.
#include "archive/BinArchive.h"
#include "fuzz/FuzzTarget.h"
#include "fuzz/SpanFileSystem.h"
#include "tests/archive/RecordingFile.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

using namespace tavro;

constexpr std::uint32_t kMaxRecords = 8;
constexpr KnownIndexSize kIndex = kOrochizIndexSizes[1];

// Applies its transform (XOR with a constant, so that pieces and wholes agree) in a chosen mode.
class TransformingArchive : public CKOEIFile_BIN_OROCHIZ {
public:
    std::uint32_t GetEntryTransform(std::uint32_t) override { return mode; }
    bool TransformEntryData(std::uint32_t, std::uint8_t* bytes, std::uint32_t count) override {
        for (std::uint32_t i = 0; i < count; ++i) {
            bytes[i] ^= 0x5A;
        }
        return !failing;
    }

    std::uint32_t mode = 0;
    bool failing = false;
};

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || size > 0xFFFFFFFFu) {
        return 0;
    }
    TransformingArchive archive;
    archive.mode = (data[0] & 7u) % 5;
    archive.failing = (data[0] & 8u) != 0;
    const std::uint32_t records = data[1] % (kMaxRecords + 1);
    const std::size_t recordBytes = std::min<std::size_t>(std::size_t{records} * kIndexRecordSize, size - 2);
    std::vector<std::uint8_t> index(kIndex.indexSize, 0);
    std::copy_n(data + 2, recordBytes, index.begin());
    const std::vector<std::uint8_t> dataFile(data + 2 + recordBytes, data + size);

    fuzzing::SpanFileSystem files;
    files.files[L"LINKDATA1.bin"] = dataFile;
    files.files[L"LINKDATA1.idx"] = index;
    archive.SetFileSystem(&files);
    Require(archive.Open(L"LINKDATA1.bin", kOpenRead) && archive.GetEntryCount() == kIndex.entryCount);

    for (std::uint32_t entry = 0; entry < records; ++entry) {
        const std::uint32_t entrySize = archive.GetEntrySize(entry);
        std::uint8_t* block = nullptr;
        const std::uint32_t extracted = archive.ExtractEntry(entry, block);
        const std::unique_ptr<std::uint8_t[]> owned(block);
        Require((extracted == 0) == (block == nullptr) && extracted <= entrySize);

        tavro::testing::RecordingFile collected;
        const std::uint32_t streamed = archive.ExtractEntryTo(entry, collected);
        // A failed stream may have delivered pieces before failing; only a whole one is compared.
        Require(streamed == extracted);
        Require(streamed == 0 || (collected.content.size() == streamed &&
                                  std::equal(collected.content.begin(), collected.content.end(), block)));
    }
    return 0;
}
