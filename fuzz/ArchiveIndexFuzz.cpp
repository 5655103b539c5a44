// The archive readers' Open on an index of fuzzed bytes beside a data file of fuzzed size.
// Input: a selector byte, the data file's size (at most kMaxDataSize), the length of the index bytes
// (both little-endian 32 bits), the index bytes, then the data bytes. Selectors 0-5 pick a known index
// size from the two readers' tables, and the index bytes are cut or zero-extended to it; 6 opens the
// index bytes as they are, an index of any size. The data bytes are cut or zero-extended to the data
// size. An accepted archive must hold the table's entry count with 2048-aligned, ascending offsets, and
// may deliver an entry only when its stored bytes lie inside the data file.
#include "archive/BinArchive.h"
#include "file/LittleEndian.h"
#include "fuzz/FuzzTarget.h"
#include "fuzz/SpanFileSystem.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

namespace {

using namespace tavro;

constexpr std::uint32_t kMaxDataSize = 64 << 10;
constexpr std::uint32_t kExtractedHead = 4;

volatile std::uint8_t sink;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckEntry(CKOEIFile_BIN_SM5& archive, std::uint32_t index, std::uint64_t dataSize) {
    std::uint8_t* buffer = nullptr;
    const std::uint32_t size = archive.ExtractEntry(index, buffer);
    const std::unique_ptr<std::uint8_t[]> owned(buffer);
    Require((size == 0) == (buffer == nullptr));
    if (size == 0) {
        return;
    }
    Require(size <= archive.GetEntrySize(index));
    Require(archive.GetEntryOffset(index) + archive.GetEntryStoredSize(index) <= dataSize);
    sink = buffer[0];
    sink = buffer[size - 1];
}

// bytes cut or zero-extended to size, in a block of its own so that the sanitizers see any read past it.
std::vector<std::uint8_t> Fitted(std::span<const std::uint8_t> bytes, std::size_t size) {
    std::vector<std::uint8_t> fitted(size, 0);
    std::copy_n(bytes.begin(), std::min(size, bytes.size()), fitted.begin());
    return fitted;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 9;
    if (size < kHeader || size > 2 * kMaxDataSize) {
        return 0;
    }
    const std::uint32_t selector = data[0] % 7u;
    const std::uint32_t dataSize = LoadU32(data + 1) % (kMaxDataSize + 1);
    const std::span<const std::uint8_t> rest(data + kHeader, size - kHeader);
    const std::span<const std::uint8_t> indexBytes =
        rest.first(std::min<std::size_t>(LoadU32(data + 5), rest.size()));

    const bool orochiz = selector >= 3 && selector < 6;
    std::size_t indexSize = indexBytes.size();
    std::uint32_t expectedCount = 0;
    if (selector < 6) {
        const KnownIndexSize known = orochiz ? kOrochizIndexSizes[selector - 3] : kSm5IndexSizes[selector];
        indexSize = known.indexSize;
        expectedCount = known.entryCount;
    }
    const std::vector<std::uint8_t> index = Fitted(indexBytes, indexSize);
    const std::vector<std::uint8_t> dataFile = Fitted(rest.subspan(indexBytes.size()), dataSize);

    fuzzing::SpanFileSystem files;
    files.files[L"LINKDATA1.bin"] = dataFile;
    files.files[L"LINKDATA1.idx"] = index;
    std::unique_ptr<CKOEIFile_BIN_SM5> archive = orochiz || selector == 6
                                                     ? std::make_unique<CKOEIFile_BIN_OROCHIZ>()
                                                     : std::make_unique<CKOEIFile_BIN_SM5>();
    archive->SetFileSystem(&files);
    if (!archive->Open(L"LINKDATA1.bin", kOpenRead)) {
        return 0;
    }
    const std::uint32_t count = archive->GetEntryCount();
    Require(selector == 6 || count == expectedCount);
    std::uint64_t previous = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t offset = archive->GetEntryOffset(i);
        Require(offset % kEntryAlignment == 0 && offset >= previous);
        previous = offset;
    }
    for (std::uint32_t i = 0; i < std::min(count, kExtractedHead); ++i) {
        CheckEntry(*archive, i, dataSize);
    }
    if (count > kExtractedHead) {
        CheckEntry(*archive, count - 1, dataSize);
    }
    return 0;
}
