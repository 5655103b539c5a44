#include "model/G1MModel.h"

#include "file/AbstractFile.h"
#include "file/LittleEndian.h"
#include "file/MemoryFile.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace tavro {

void CG1MModel::Clear() {
    // Assigning empty containers releases their memory, which clear() would keep.
    vertices = {};
    indices = {};
    vertexBufferStarts = {};
    indexBufferStarts = {};
    boundsMin = {};
    boundsMax = {};
    bones = {};
    matrices = {};
    jointMaps = {};
    submeshes = {};
    submeshDrawable = {};
}

bool CG1MModel::Load(CAbstractFile& file) {
    Clear();
    // The header's size field is 32 bits, so a larger stream can never match it.
    const std::uint64_t size = file.GetSize64();
    if (size < kG1MHeaderSize || size > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    if (!file.Seek64(0)) {
        return false;
    }
    std::uint8_t header[kG1MHeaderSize];
    if (file.Read(header, kG1MHeaderSize) != kG1MHeaderSize) {
        return false;
    }
    if (LoadU32(header) != kG1MMagic || LoadU32(header + 4) != kG1MVersion || LoadU32(header + 8) != size ||
        LoadU32(header + 12) != kG1MHeaderSize || LoadU32(header + 20) == 0) {
        return false;
    }
    try {
        if (LoadChunks(file, static_cast<std::uint32_t>(size))) {
            ValidateSubmeshRanges();
            return true;
        }
    } catch (const std::bad_alloc&) {
        // Running out of memory fails the load like any other refusal.
    }
    // Whatever the chunks before the failing one stored is dropped, so a failed record is a sound,
    // empty model rather than a partial one.
    Clear();
    return false;
}

// Walks the chunks that follow the header, which must tile the file exactly, and hands each known
// chunk whole to its reader; unknown chunks are skipped. A memory file's chunks are read in place;
// any other file's are copied one at a time into a buffer of their own.
bool CG1MModel::LoadChunks(CAbstractFile& file, std::uint32_t size) {
    const auto* memoryFile = dynamic_cast<const CMemoryFileBase*>(&file);
    const std::uint8_t* fileBytes = memoryFile != nullptr ? memoryFile->GetBuffer() : nullptr;
    std::uint64_t offset = kG1MHeaderSize;
    while (offset < size) {
        if (offset + kG1MChunkHeaderSize > size) {
            return false;
        }
        std::uint8_t chunkHeader[kG1MChunkHeaderSize];
        if (fileBytes != nullptr) {
            std::memcpy(chunkHeader, fileBytes + offset, kG1MChunkHeaderSize);
        } else if (file.Read(chunkHeader, kG1MChunkHeaderSize) != kG1MChunkHeaderSize) {
            return false;
        }
        const std::uint32_t id = LoadU32(chunkHeader);
        const std::uint32_t chunkSize = LoadU32(chunkHeader + 8);
        if (chunkSize < kG1MChunkHeaderSize || offset + chunkSize > size) {
            return false;
        }
        std::unique_ptr<std::uint8_t[]> copy;
        const std::uint8_t* chunk = nullptr;
        if (fileBytes != nullptr) {
            chunk = fileBytes + offset;
        } else {
            copy.reset(new std::uint8_t[chunkSize]);
            std::memcpy(copy.get(), chunkHeader, kG1MChunkHeaderSize);
            const std::uint32_t bodySize = chunkSize - kG1MChunkHeaderSize;
            if (file.Read(copy.get() + kG1MChunkHeaderSize, bodySize) != bodySize) {
                return false;
            }
            chunk = copy.get();
        }
        bool accepted = true;
        if (id == kG1MGeometryChunkId) {
            accepted = ParseG1MG(chunk, chunkSize);
        } else if (id == kG1MMatrixChunkId) {
            accepted = ParseG1MM(chunk, chunkSize);
        } else if (id == kG1MSkeletonChunkId) {
            accepted = ParseG1MS(chunk, chunkSize);
        }
        if (!accepted) {
            return false;
        }
        offset += chunkSize;
    }
    return offset == size;
}

} // namespace tavro
