// The archive readers' Open on an index of fuzzed bytes beside a data file of fuzzed size.
// Input: a selector byte, the data file's size (little-endian 32 bits, at most kMaxDataSize), then the
// index bytes and the data bytes. Selectors 0-5 pick a known index size from the two readers' tables
// (the index bytes are cut or zero-extended to it, the rest feeds the data file); 6 opens the remaining
// bytes as they are, an index of any size. An accepted archive must hold the table's entry count with
// 2048-aligned, ascending offsets, and may deliver an entry only when its stored bytes lie in the data.
#include "archive/BinArchive.h"
#include "fuzz/FuzzTarget.h"
#include "fuzz/SpanFileSystem.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

using namespace tavro;

constexpr std::uint32_t kMaxDataSize = 1 << 20;
// A compressed entry's output block is allocated before decoding; declared sizes beyond this would only
// measure the allocator, so such entries are not extracted here.
constexpr std::uint32_t kMaxExtractedSize = 64 << 20;
constexpr std::uint32_t kExtractedHead = 4;

volatile std::uint8_t sink;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckEntry(CKOEIFile_BIN_SM5& archive, std::uint32_t index, std::uint64_t dataSize) {
    if (archive.IsEntryCompressed(index) && archive.GetEntrySize(index) > kMaxExtractedSize) {
        return;
    }
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 5;
    if (size < kHeader || size > kMaxDataSize * 2) {
        return 0;
    }
    const std::uint32_t selector = data[0] % 7u;
    std::uint32_t dataSize = 0;
    for (int i = 4; i >= 1; --i) {
        dataSize = dataSize << 8 | data[i];
    }
    dataSize %= kMaxDataSize + 1;

    const bool orochiz = selector >= 3 && selector < 6;
    const std::span<const std::uint8_t> rest(data + kHeader, size - kHeader);
    std::uint32_t indexSize = static_cast<std::uint32_t>(rest.size());
    std::uint32_t expectedCount = 0;
    if (selector < 6) {
        const KnownIndexSize known = orochiz ? kOrochizIndexSizes[selector - 3] : kSm5IndexSizes[selector];
        indexSize = known.indexSize;
        expectedCount = known.entryCount;
    }
    // Exact-size copies, so that the sanitizers see any read past either file.
    const std::size_t indexTaken = std::min<std::size_t>(indexSize, rest.size());
    std::vector<std::uint8_t> index(indexSize, 0);
    std::copy_n(rest.begin(), indexTaken, index.begin());
    std::vector<std::uint8_t> dataFile(dataSize, 0);
    const std::span<const std::uint8_t> dataBytes = rest.subspan(indexTaken);
    std::copy_n(dataBytes.begin(), std::min<std::size_t>(dataSize, dataBytes.size()), dataFile.begin());

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
