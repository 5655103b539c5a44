#include "tools/StoredEntries.h"

#include "archive/Lzp2.h"
#include "file/FileSystem.h"
#include "file/LittleEndian.h"
#include "file/WidePath.h"

#include <algorithm>
#include <new>

namespace tavro::tools {

namespace {

constexpr std::uint32_t kLzp2HeaderSize = 16;

} // namespace

bool CStoredEntries::Open(const std::string& binPath) {
    data = GetFileSystem().OpenFile(Utf8ToWide(binPath).c_str(), kOpenRead);
    dataSize = data != nullptr ? data->GetSize64() : 0;
    return data != nullptr;
}

bool CStoredEntries::LiesPastEnd(CFileBase& archive, std::uint32_t index) const {
    const std::uint32_t stored = archive.GetEntryStoredSize(index);
    return stored != 0 && archive.GetEntryOffset(index) + stored > dataSize;
}

bool CStoredEntries::ReadAt(std::uint64_t offset, std::uint32_t count, std::vector<std::uint8_t>& bytes) {
    if (data == nullptr || offset + count > dataSize) {
        return false;
    }
    try {
        bytes.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return count == 0 ||
           (data->Seek64(static_cast<std::int64_t>(offset)) && data->Read(bytes.data(), count) == count);
}

bool CStoredEntries::ReadStored(CFileBase& archive, std::uint32_t index, std::vector<std::uint8_t>& bytes) {
    return ReadAt(archive.GetEntryOffset(index), archive.GetEntryStoredSize(index), bytes);
}

EntryKind CStoredEntries::KindOf(CFileBase& archive, std::uint32_t index) {
    const std::uint32_t size = archive.GetEntrySize(index);
    if (size == 0) {
        return EntryKind::Empty;
    }
    const std::uint64_t offset = archive.GetEntryOffset(index);
    const std::uint32_t stored = archive.GetEntryStoredSize(index);
    if (!archive.IsEntryCompressed(index)) {
        const std::uint32_t head = std::min(size, kKindHeadSize);
        return ReadAt(offset, head, block) ? KindOfBytes(block) : EntryKind::Unreadable;
    }
    // The first block alone: its header gives the length of its op stream, and it decodes to the first
    // min(size, 512 KiB) bytes of the entry.
    if (stored < kLzp2HeaderSize || !ReadAt(offset, kLzp2HeaderSize, block)) {
        return EntryKind::Unreadable;
    }
    const std::uint32_t opStreamSize = LoadU32(block.data() + 12);
    const std::uint32_t blockSize = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(stored, std::uint64_t{kLzp2HeaderSize} + opStreamSize));
    const std::uint32_t firstOutput = std::min(size, kLzp2BlockOutputSize);
    try {
        decoded.resize(firstOutput);
    } catch (const std::bad_alloc&) {
        return EntryKind::Unreadable;
    }
    if (!ReadAt(offset, blockSize, block) ||
        !Lzp2Decode(block.data(), blockSize, decoded.data(), firstOutput)) {
        return EntryKind::Unreadable;
    }
    return KindOfBytes(std::span<const std::uint8_t>(decoded).first(std::min(firstOutput, kKindHeadSize)));
}

} // namespace tavro::tools
