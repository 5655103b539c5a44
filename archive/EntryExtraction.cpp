// Extraction of one entry: seek to it, read it, decode or copy it, transform it where the entry asks,
// and deliver it. Every failure releases what was allocated and reports 0; the archive stays usable.
#include "archive/FileBase.h"
#include "file/MemoryFile.h"

#include <new>

namespace tavro {

namespace {

std::uint8_t* NewBlock(std::uint32_t size) {
    return new (std::nothrow) std::uint8_t[size];
}

// Hands block (size bytes, array new) to a memory file: it ends up holding exactly those bytes at
// position 0 and owning them, and the block it held before is released with the temporary.
void HandOver(CMemoryFile& destination, std::unique_ptr<std::uint8_t[]> block, std::uint32_t size) {
    CMemoryFile delivered(block.release(), size);
    destination.Swap(delivered);
}

} // namespace

std::uint32_t CFileBase::ExtractEntry(std::uint32_t index, std::uint8_t*& buffer) {
    buffer = nullptr;
    if (file == nullptr || index >= GetEntryCount() || IsEntryExcluded(index) || IsEntryDisabled(index)) {
        return 0;
    }
    const std::uint32_t size = GetEntrySize(index);
    if ((GetEntryStoredSize(index) == 0 && size == 0) || (size == 0 && !IsEntryCompressed(index))) {
        return 0;
    }
    CMemoryFile memory;
    const std::uint32_t extracted = ExtractEntryTo(index, memory);
    if (extracted == 0) {
        return 0;
    }
    buffer = memory.DetachBuffer();
    return buffer != nullptr ? extracted : 0;
}

std::uint32_t CFileBase::ExtractEntryTo(std::uint32_t index, CAbstractFile& destination) {
    const bool known = index < GetEntryCount();
    const std::uint32_t storedSize = known ? GetEntryStoredSize(index) : 0;
    const std::uint32_t size = known ? GetEntrySize(index) : 0;
    if ((storedSize == 0 && size == 0) || file == nullptr) {
        return 0;
    }
    // The stored bytes must lie inside the data file; checking first also keeps a hostile index from
    // making us allocate gigabytes for bytes that are not there.
    const std::uint64_t offset = GetEntryOffset(index);
    const std::uint64_t dataSize = file->GetSize64();
    if (offset > dataSize || dataSize - offset < storedSize ||
        !file->Seek64(static_cast<std::int64_t>(offset))) {
        return 0;
    }
    const std::uint32_t mode = GetEntryTransform(index);
    if (IsEntryCompressed(index)) {
        return ExtractCompressedEntry(destination, storedSize, size, index, mode);
    }
    return CopyStoredEntry(destination, size, index, mode);
}

std::uint32_t CFileBase::ExtractCompressedEntry(CAbstractFile& destination, std::uint32_t storedSize,
                                                std::uint32_t size, std::uint32_t index, std::uint32_t mode) {
    // A size no stream of storedSize bytes can decode to is refused before it sizes a buffer: a
    // damaged index could otherwise make every extraction allocate and clear up to 4 GiB.
    if (storedSize == 0 || size == 0 || file == nullptr || size > GetDecodedSizeLimit(storedSize)) {
        return 0;
    }
    std::unique_ptr<std::uint8_t[]> output(NewBlock(size));
    std::unique_ptr<std::uint8_t[]> input(NewBlock(storedSize));
    if (!output || !input || file->Read(input.get(), storedSize) != storedSize) {
        return 0;
    }
    if ((mode == 1 || mode == 2) && !TransformEntryData(index, input.get(), storedSize)) {
        return 0;
    }
    std::uint8_t* decoded = output.get();
    std::uint32_t decodedSize = size;
    // A decoder must fill the buffer it was given; one that swaps in another block or claims more bytes
    // than the buffer holds is refused rather than trusted.
    if (!DecompressEntry(index, input.get(), storedSize, decoded, decodedSize) || decoded != output.get() ||
        decodedSize == 0 || decodedSize > size) {
        return 0;
    }
    if ((mode == 3 || mode == 4) && !TransformEntryData(index, decoded, decodedSize)) {
        return 0;
    }
    if (auto* memory = dynamic_cast<CMemoryFile*>(&destination)) {
        HandOver(*memory, std::move(output), decodedSize);
        return decodedSize;
    }
    return destination.Write(decoded, decodedSize) == decodedSize ? decodedSize : 0;
}

bool CFileBase::ReadPiece(std::uint8_t* bytes, std::uint32_t count, std::uint32_t index, bool transform) {
    return file->Read(bytes, count) == count && (!transform || TransformEntryData(index, bytes, count));
}

std::uint32_t CFileBase::CopyStoredEntry(CAbstractFile& destination, std::uint32_t size, std::uint32_t index,
                                         std::uint32_t mode) {
    if (size == 0 || file == nullptr) {
        return 0;
    }
    auto* memory = dynamic_cast<CMemoryFile*>(&destination);
    if (memory != nullptr || mode == 2 || mode == 4) {
        // The whole entry in one read: a memory file takes the block over, others get one write.
        std::unique_ptr<std::uint8_t[]> block(NewBlock(size));
        if (!block || !ReadPiece(block.get(), size, index, mode != 0)) {
            return 0;
        }
        if (memory != nullptr) {
            HandOver(*memory, std::move(block), size);
            return size;
        }
        return destination.Write(block.get(), size) == size ? size : 0;
    }
    const std::uint32_t chunk = size < kTransferChunk ? size : kTransferChunk;
    std::unique_ptr<std::uint8_t[]> buffer(NewBlock(chunk));
    if (!buffer) {
        return 0;
    }
    for (std::uint32_t remaining = size; remaining != 0;) {
        const std::uint32_t piece = remaining < chunk ? remaining : chunk;
        if (!ReadPiece(buffer.get(), piece, index, mode != 0) ||
            destination.Write(buffer.get(), piece) != piece) {
            return 0;
        }
        remaining -= piece;
    }
    return size;
}

} // namespace tavro
