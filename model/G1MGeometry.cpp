// The G1MG geometry chunk reader and its four sub-chunk readers. Each sub-chunk reader validates its
// whole layout into locals before it replaces anything in the record, and refuses element counts
// that its bytes could never hold before allocating for them.
#include "model/G1MModel.h"

#include "file/LittleEndian.h"

#include <cstring>

namespace tavro {

namespace {

// Converts count source vertices of a fixed stride; a compile-time stride lets the compiler turn the
// three copies into plain moves.
template <std::uint32_t Stride>
void ConvertVertices(const std::uint8_t* source, std::uint32_t count, CG1MVertex* destination) {
    for (std::uint32_t i = 0; i < count; ++i, source += Stride) {
        std::memcpy(destination[i].position, source, 12);
        std::memcpy(destination[i].normal, source + G1MNormalOffset(Stride), 12);
        std::memcpy(destination[i].texCoord, source + G1MTexCoordOffset(Stride), 8);
    }
}

void ConvertVertices(std::uint32_t stride, const std::uint8_t* source, std::uint32_t count,
                     CG1MVertex* destination) {
    switch (stride) {
    case 36:
        return ConvertVertices<36>(source, count, destination);
    case 40:
        return ConvertVertices<40>(source, count, destination);
    case 44:
        return ConvertVertices<44>(source, count, destination);
    case 48:
        return ConvertVertices<48>(source, count, destination);
    case 52:
        return ConvertVertices<52>(source, count, destination);
    case 108:
        return ConvertVertices<108>(source, count, destination);
    }
}

} // namespace

bool CG1MModel::ParseG1MG(const std::uint8_t* chunk, std::uint32_t size) {
    if (size < kG1MGeometryHeadSize) {
        return false;
    }
    for (int axis = 0; axis < 3; ++axis) {
        boundsMin[axis] = LoadF32(chunk + 20 + 4 * axis);
        boundsMax[axis] = LoadF32(chunk + 32 + 4 * axis);
    }
    const std::uint32_t subchunkCount = LoadU32(chunk + 44);
    std::uint64_t offset = kG1MGeometryHeadSize;
    for (std::uint32_t i = 0; i < subchunkCount; ++i) {
        if (offset + 8 > size) {
            return false;
        }
        const std::uint8_t* subchunk = chunk + offset;
        const std::uint32_t id = LoadU32(subchunk);
        const std::uint32_t subchunkSize = LoadU32(subchunk + 4);
        // A zero size would leave the walk in place until the count runs out, and the chunk would
        // fail then; refusing it now keeps the walk bounded by the chunk's bytes.
        if (subchunkSize == 0 || offset + subchunkSize > size) {
            return false;
        }
        bool accepted = true;
        if (id == kG1MVertexBuffersId) {
            accepted = ParseVertexBuffers(subchunk, subchunkSize);
        } else if (id == kG1MJointMapsId) {
            accepted = ParseJointMaps(subchunk, subchunkSize);
        } else if (id == kG1MIndexBuffersId) {
            accepted = ParseIndexBuffers(subchunk, subchunkSize);
        } else if (id == kG1MSubmeshesId) {
            accepted = ParseSubmeshes(subchunk, subchunkSize);
        }
        if (!accepted) {
            return false;
        }
        offset += subchunkSize;
    }
    return offset == size;
}

bool CG1MModel::ParseVertexBuffers(const std::uint8_t* subchunk, std::uint32_t size) {
    if (size < kG1MSubchunkHeadSize) {
        return false;
    }
    const std::uint32_t bufferCount = LoadU32(subchunk + 8);
    if (kG1MSubchunkHeadSize + std::uint64_t{kG1MVertexBufferHeadSize} * bufferCount > size) {
        return false;
    }
    std::vector<std::uint32_t> starts(std::size_t{bufferCount} + 1);
    std::uint64_t offset = kG1MSubchunkHeadSize;
    for (std::uint32_t i = 0; i < bufferCount; ++i) {
        if (offset + kG1MVertexBufferHeadSize > size) {
            return false;
        }
        const std::uint32_t stride = LoadU32(subchunk + offset + 4);
        const std::uint32_t vertexCount = LoadU32(subchunk + offset + 8);
        if (!IsG1MVertexStride(stride)) {
            return false;
        }
        offset += kG1MVertexBufferHeadSize + std::uint64_t{stride} * vertexCount;
        if (offset > size) {
            return false;
        }
        // Every vertex takes at least 36 of the size's bytes, so the running total stays far below 2^32.
        starts[i + 1] = starts[i] + vertexCount;
    }
    if (offset != size) {
        return false;
    }

    vertices.resize(starts[bufferCount]);
    vertexBufferStarts = std::move(starts);
    offset = kG1MSubchunkHeadSize;
    for (std::uint32_t i = 0; i < bufferCount; ++i) {
        const std::uint32_t stride = LoadU32(subchunk + offset + 4);
        const std::uint32_t vertexCount = vertexBufferStarts[i + 1] - vertexBufferStarts[i];
        ConvertVertices(stride, subchunk + offset + kG1MVertexBufferHeadSize, vertexCount,
                        vertices.data() + vertexBufferStarts[i]);
        offset += kG1MVertexBufferHeadSize + std::uint64_t{stride} * vertexCount;
    }
    return true;
}

bool CG1MModel::ParseJointMaps(const std::uint8_t* subchunk, std::uint32_t size) {
    if (size < kG1MSubchunkHeadSize) {
        return false;
    }
    const std::uint32_t mapCount = LoadU32(subchunk + 8);
    // Each map holds at least its 4-byte entry count.
    if (kG1MSubchunkHeadSize + std::uint64_t{4} * mapCount > size) {
        return false;
    }
    std::vector<std::vector<CG1MJointMapEntry>> maps(mapCount);
    std::uint64_t offset = kG1MSubchunkHeadSize;
    for (std::uint32_t i = 0; i < mapCount; ++i) {
        if (offset + 4 > size) {
            return false;
        }
        const std::uint32_t entryCount = LoadU32(subchunk + offset);
        const std::uint64_t entryBytes = std::uint64_t{sizeof(CG1MJointMapEntry)} * entryCount;
        if (offset + 4 + entryBytes > size) {
            return false;
        }
        if (entryCount != 0) {
            maps[i].resize(entryCount);
            std::memcpy(maps[i].data(), subchunk + offset + 4, entryBytes);
        }
        offset += 4 + entryBytes;
    }
    if (offset != size) {
        return false;
    }
    jointMaps = std::move(maps);
    return true;
}

bool CG1MModel::ParseIndexBuffers(const std::uint8_t* subchunk, std::uint32_t size) {
    if (size < kG1MSubchunkHeadSize) {
        return false;
    }
    const std::uint32_t bufferCount = LoadU32(subchunk + 8);
    if (kG1MSubchunkHeadSize + std::uint64_t{kG1MIndexBufferHeadSize} * bufferCount > size) {
        return false;
    }
    std::vector<std::uint32_t> starts(std::size_t{bufferCount} + 1);
    std::uint64_t offset = kG1MSubchunkHeadSize;
    for (std::uint32_t i = 0; i < bufferCount; ++i) {
        if (offset + kG1MIndexBufferHeadSize > size) {
            return false;
        }
        const std::uint32_t indexCount = LoadU32(subchunk + offset);
        offset += kG1MIndexBufferHeadSize + std::uint64_t{2} * indexCount;
        if (offset > size) {
            return false;
        }
        starts[i + 1] = starts[i] + indexCount;
    }
    if (offset != size) {
        return false;
    }

    indices.resize(starts[bufferCount]);
    indexBufferStarts = std::move(starts);
    offset = kG1MSubchunkHeadSize;
    for (std::uint32_t i = 0; i < bufferCount; ++i) {
        const std::uint32_t indexCount = indexBufferStarts[i + 1] - indexBufferStarts[i];
        // Buffers of odd length leave the next one unaligned; memcpy copes with that.
        if (indexCount != 0) {
            std::memcpy(indices.data() + indexBufferStarts[i], subchunk + offset + kG1MIndexBufferHeadSize,
                        std::size_t{2} * indexCount);
        }
        offset += kG1MIndexBufferHeadSize + std::uint64_t{2} * indexCount;
    }
    return true;
}

bool CG1MModel::ParseSubmeshes(const std::uint8_t* subchunk, std::uint32_t size) {
    if (size < kG1MSubchunkHeadSize) {
        return false;
    }
    const std::uint32_t submeshCount = LoadU32(subchunk + 8);
    if (size != kG1MSubchunkHeadSize + std::uint64_t{sizeof(CG1MSubmesh)} * submeshCount) {
        return false;
    }
    submeshes.resize(submeshCount);
    if (submeshCount != 0) {
        std::memcpy(submeshes.data(), subchunk + kG1MSubchunkHeadSize, sizeof(CG1MSubmesh) * submeshCount);
    }
    return true;
}

} // namespace tavro
