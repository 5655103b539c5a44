#include "authoring/G1MWriter.h"

#include "file/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace tavro::authoring {

namespace {

void AppendBytes(std::vector<std::uint8_t>& out, const void* bytes, std::size_t size) {
    if (size != 0) {
        const std::size_t at = out.size();
        out.resize(at + size);
        std::memcpy(out.data() + at, bytes, size);
    }
}

} // namespace

G1MVertexBuffer MakeG1MVertexBuffer(std::uint32_t stride, std::span<const CG1MVertex> vertices) {
    G1MVertexBuffer buffer;
    buffer.stride = stride;
    buffer.vertexCount = static_cast<std::uint32_t>(vertices.size());
    buffer.bytes.assign(vertices.size() * stride, kG1MFillerByte);
    // Strides below 32 cannot hold the attributes; such buffers keep only filler.
    if (stride >= 32) {
        std::uint8_t* out = buffer.bytes.data();
        for (const CG1MVertex& vertex : vertices) {
            std::memcpy(out, vertex.position, 12);
            std::memcpy(out + G1MNormalOffset(stride), vertex.normal, 12);
            std::memcpy(out + G1MTexCoordOffset(stride), vertex.texCoord, 8);
            out += stride;
        }
    }
    return buffer;
}

CG1MBone MakeG1MBone(std::int32_t parent, Vector3 position, std::array<float, 4> rotation, Vector3 scale) {
    CG1MBone bone{};
    bone.scale[0] = scale.x;
    bone.scale[1] = scale.y;
    bone.scale[2] = scale.z;
    bone.parent = parent;
    std::copy(rotation.begin(), rotation.end(), bone.rotation);
    bone.position[0] = position.x;
    bone.position[1] = position.y;
    bone.position[2] = position.z;
    return bone;
}

CG1MSubmesh MakeG1MSubmesh(std::uint32_t bufferIndex, std::uint32_t jointMapIndex, std::uint32_t firstIndex,
                           std::uint32_t indexCount) {
    CG1MSubmesh submesh{};
    submesh.bufferIndex = bufferIndex;
    submesh.jointMapIndex = jointMapIndex;
    submesh.firstIndex = firstIndex;
    submesh.indexCount = indexCount;
    return submesh;
}

void ComputeG1MBounds(std::span<const CG1MVertex> vertices, Vector3& boundsMin, Vector3& boundsMax) {
    if (vertices.empty()) {
        boundsMin = boundsMax = {0, 0, 0};
        return;
    }
    float low[3] = {vertices[0].position[0], vertices[0].position[1], vertices[0].position[2]};
    float high[3] = {low[0], low[1], low[2]};
    for (const CG1MVertex& vertex : vertices) {
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], vertex.position[axis]);
            high[axis] = std::max(high[axis], vertex.position[axis]);
        }
    }
    boundsMin = {low[0], low[1], low[2]};
    boundsMax = {high[0], high[1], high[2]};
}

G1MGeometryWriter::G1MGeometryWriter(Vector3 boundsMinimum, Vector3 boundsMaximum)
    : boundsMin(boundsMinimum), boundsMax(boundsMaximum) {}

std::size_t G1MGeometryWriter::BeginSubchunk(std::uint32_t id, std::uint32_t elementCount,
                                             std::size_t bodySize) {
    const std::size_t start = subchunks.size();
    subchunks.reserve(start + kG1MSubchunkHeadSize + bodySize);
    AppendU32(subchunks, id);
    AppendU32(subchunks, 0);
    AppendU32(subchunks, elementCount);
    return start;
}

void G1MGeometryWriter::EndSubchunk(std::size_t start) {
    StoreU32(&subchunks[start + 4], static_cast<std::uint32_t>(subchunks.size() - start));
    ++subchunkCount;
}

G1MGeometryWriter& G1MGeometryWriter::AddVertexBuffers(std::span<const G1MVertexBuffer> buffers) {
    std::size_t bodySize = 0;
    for (const G1MVertexBuffer& buffer : buffers) {
        bodySize += kG1MVertexBufferHeadSize + buffer.bytes.size();
    }
    const std::size_t start =
        BeginSubchunk(kG1MVertexBuffersId, static_cast<std::uint32_t>(buffers.size()), bodySize);
    for (const G1MVertexBuffer& buffer : buffers) {
        AppendU32(subchunks, 0);
        AppendU32(subchunks, buffer.stride);
        AppendU32(subchunks, buffer.vertexCount);
        AppendU32(subchunks, 0);
        AppendBytes(subchunks, buffer.bytes.data(), buffer.bytes.size());
    }
    EndSubchunk(start);
    return *this;
}

G1MGeometryWriter&
G1MGeometryWriter::AddJointMaps(std::span<const std::vector<CG1MJointMapEntry>> jointMaps) {
    std::size_t bodySize = 0;
    for (const auto& map : jointMaps) {
        bodySize += 4 + map.size() * sizeof(CG1MJointMapEntry);
    }
    const std::size_t start =
        BeginSubchunk(kG1MJointMapsId, static_cast<std::uint32_t>(jointMaps.size()), bodySize);
    for (const auto& map : jointMaps) {
        AppendU32(subchunks, static_cast<std::uint32_t>(map.size()));
        AppendBytes(subchunks, map.data(), map.size() * sizeof(CG1MJointMapEntry));
    }
    EndSubchunk(start);
    return *this;
}

G1MGeometryWriter& G1MGeometryWriter::AddIndexBuffers(std::span<const std::vector<std::uint16_t>> buffers) {
    std::size_t bodySize = 0;
    for (const auto& buffer : buffers) {
        bodySize += kG1MIndexBufferHeadSize + 2 * buffer.size();
    }
    const std::size_t start =
        BeginSubchunk(kG1MIndexBuffersId, static_cast<std::uint32_t>(buffers.size()), bodySize);
    for (const auto& buffer : buffers) {
        AppendU32(subchunks, static_cast<std::uint32_t>(buffer.size()));
        AppendU32(subchunks, 0);
        AppendU32(subchunks, 0);
        AppendBytes(subchunks, buffer.data(), 2 * buffer.size()); // little-endian memory, as the file
    }
    EndSubchunk(start);
    return *this;
}

G1MGeometryWriter& G1MGeometryWriter::AddSubmeshes(std::span<const CG1MSubmesh> submeshes) {
    const std::size_t bodySize = submeshes.size() * sizeof(CG1MSubmesh);
    const std::size_t start =
        BeginSubchunk(kG1MSubmeshesId, static_cast<std::uint32_t>(submeshes.size()), bodySize);
    AppendBytes(subchunks, submeshes.data(), bodySize);
    EndSubchunk(start);
    return *this;
}

G1MGeometryWriter& G1MGeometryWriter::AddRawSubchunk(std::uint32_t id, std::uint32_t elementCount,
                                                     std::span<const std::uint8_t> body) {
    const std::size_t start = BeginSubchunk(id, elementCount, body.size());
    AppendBytes(subchunks, body.data(), body.size());
    EndSubchunk(start);
    return *this;
}

std::vector<std::uint8_t> G1MGeometryWriter::Finish() const {
    std::vector<std::uint8_t> chunk;
    chunk.reserve(kG1MGeometryHeadSize + subchunks.size());
    AppendU32(chunk, kG1MGeometryChunkId);
    AppendU32(chunk, 0);
    AppendU32(chunk, static_cast<std::uint32_t>(kG1MGeometryHeadSize + subchunks.size()));
    AppendU32(chunk, 0);
    AppendU32(chunk, 0);
    for (float value : {boundsMin.x, boundsMin.y, boundsMin.z, boundsMax.x, boundsMax.y, boundsMax.z}) {
        AppendF32(chunk, value);
    }
    AppendU32(chunk, subchunkCount);
    AppendBytes(chunk, subchunks.data(), subchunks.size());
    return chunk;
}

G1MWriter& G1MWriter::AddSkeleton(std::span<const CG1MBone> bones, std::uint16_t tableLengthA,
                                  std::uint32_t tableLengthB) {
    const std::uint64_t tableBytes = 2 * (std::uint64_t{tableLengthA} + tableLengthB);
    const std::uint64_t boneDataOffset = (kG1MSkeletonHeadSize + tableBytes + 3) & ~std::uint64_t{3};
    std::vector<std::uint8_t> body;
    body.reserve(boneDataOffset - kG1MChunkHeaderSize + bones.size() * sizeof(CG1MBone));
    AppendU32(body, static_cast<std::uint32_t>(boneDataOffset));
    AppendU32(body, 0);
    AppendU16(body, static_cast<std::uint16_t>(bones.size()));
    AppendU16(body, tableLengthA);
    AppendU32(body, tableLengthB);
    body.resize(boneDataOffset - kG1MChunkHeaderSize, 0);
    AppendBytes(body, bones.data(), bones.size() * sizeof(CG1MBone));
    return AddRawChunk(kG1MSkeletonChunkId, body);
}

G1MWriter& G1MWriter::AddMatrices(std::span<const Matrix4> matrices) {
    std::vector<std::uint8_t> body;
    body.reserve(4 + matrices.size() * sizeof(Matrix4));
    AppendU32(body, static_cast<std::uint32_t>(matrices.size()));
    AppendBytes(body, matrices.data(), matrices.size() * sizeof(Matrix4));
    return AddRawChunk(kG1MMatrixChunkId, body);
}

G1MWriter& G1MWriter::AddChunk(std::span<const std::uint8_t> chunk) {
    AppendBytes(chunks, chunk.data(), chunk.size());
    ++chunkCount;
    return *this;
}

G1MWriter& G1MWriter::AddRawChunk(std::uint32_t id, std::span<const std::uint8_t> body) {
    chunks.reserve(chunks.size() + kG1MChunkHeaderSize + body.size());
    AppendU32(chunks, id);
    AppendU32(chunks, 0);
    AppendU32(chunks, static_cast<std::uint32_t>(kG1MChunkHeaderSize + body.size()));
    AppendBytes(chunks, body.data(), body.size());
    ++chunkCount;
    return *this;
}

std::vector<std::uint8_t> G1MWriter::Finish() const {
    std::vector<std::uint8_t> file;
    file.reserve(kG1MHeaderSize + chunks.size());
    AppendU32(file, kG1MMagic);
    AppendU32(file, kG1MVersion);
    AppendU32(file, static_cast<std::uint32_t>(kG1MHeaderSize + chunks.size()));
    AppendU32(file, kG1MHeaderSize);
    AppendU32(file, 0);
    AppendU32(file, std::max<std::uint32_t>(chunkCount, 1));
    AppendBytes(file, chunks.data(), chunks.size());
    return file;
}

std::vector<std::uint8_t> WriteG1M(const G1MModelDescription& model) {
    G1MGeometryWriter geometry(model.boundsMin, model.boundsMax);
    geometry.AddVertexBuffers(model.vertexBuffers)
        .AddJointMaps(model.jointMaps)
        .AddIndexBuffers(model.indexBuffers)
        .AddSubmeshes(model.submeshes);
    return G1MWriter()
        .AddSkeleton(model.bones)
        .AddMatrices(model.matrices)
        .AddChunk(geometry.Finish())
        .Finish();
}

} // namespace tavro::authoring
