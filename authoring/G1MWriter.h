#pragma once
// Writing G1M model files: the header and any run of G1MS, G1MM, G1MG and unknown chunks, with the
// G1MG sub-chunks in any order. WriteG1M covers the usual arrangement in one call; G1MWriter and
// G1MGeometryWriter build unusual files chunk by chunk. Files must stay below 4 GiB.
#include "model/G1MRecords.h"
#include "model/Matrix.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tavro::authoring {

// One vertex buffer as stored: the stride and vertexCount * stride bytes of source vertices.
struct G1MVertexBuffer {
    std::uint32_t stride = 48;
    std::uint32_t vertexCount = 0;
    std::vector<std::uint8_t> bytes;
};

// Lays the vertices out at stride (any of 36, 40, 44, 48, 52, 108; other strides make bad files):
// position at 0, normal at stride - 24, texture coordinate at stride - 8. The bytes no reader looks
// at hold kG1MFillerByte.
G1MVertexBuffer MakeG1MVertexBuffer(std::uint32_t stride, std::span<const CG1MVertex> vertices);
constexpr std::uint8_t kG1MFillerByte = 0xEE;

CG1MBone MakeG1MBone(std::int32_t parent, Vector3 position = {0, 0, 0},
                     std::array<float, 4> rotation = {0, 0, 0, 1}, Vector3 scale = {1, 1, 1});
CG1MSubmesh MakeG1MSubmesh(std::uint32_t bufferIndex, std::uint32_t jointMapIndex, std::uint32_t firstIndex,
                           std::uint32_t indexCount);

// The smallest box holding every position; all zero for no vertices.
void ComputeG1MBounds(std::span<const CG1MVertex> vertices, Vector3& boundsMin, Vector3& boundsMax);

// Builds one G1MG chunk: the head with the bounding box, then the sub-chunks in the order added.
class G1MGeometryWriter {
public:
    G1MGeometryWriter(Vector3 boundsMin, Vector3 boundsMax);

    G1MGeometryWriter& AddVertexBuffers(std::span<const G1MVertexBuffer> buffers);
    G1MGeometryWriter& AddJointMaps(std::span<const std::vector<CG1MJointMapEntry>> jointMaps);
    G1MGeometryWriter& AddIndexBuffers(std::span<const std::vector<std::uint16_t>> buffers);
    G1MGeometryWriter& AddSubmeshes(std::span<const CG1MSubmesh> submeshes);
    // Any sub-chunk: the id, the element count and the body after the 12-byte head, as given.
    G1MGeometryWriter& AddRawSubchunk(std::uint32_t id, std::uint32_t elementCount,
                                      std::span<const std::uint8_t> body);

    // The whole chunk, head included; the sub-chunk count is the number added.
    std::vector<std::uint8_t> Finish() const;

private:
    // Appends a sub-chunk head whose size field is patched by EndSubchunk.
    std::size_t BeginSubchunk(std::uint32_t id, std::uint32_t elementCount, std::size_t bodySize);
    void EndSubchunk(std::size_t start);

    Vector3 boundsMin;
    Vector3 boundsMax;
    std::uint32_t subchunkCount = 0;
    std::vector<std::uint8_t> subchunks;
};

// Builds a G1M file: the 24-byte header, then the chunks in the order added.
class G1MWriter {
public:
    // A G1MS chunk with a table of (tableLengthA + tableLengthB) zero entries before the bones.
    G1MWriter& AddSkeleton(std::span<const CG1MBone> bones, std::uint16_t tableLengthA = 0,
                           std::uint32_t tableLengthB = 0);
    G1MWriter& AddMatrices(std::span<const Matrix4> matrices);
    // A complete chunk, head included, such as G1MGeometryWriter::Finish returns.
    G1MWriter& AddChunk(std::span<const std::uint8_t> chunk);
    // A chunk with the given id and the body after its 12-byte head.
    G1MWriter& AddRawChunk(std::uint32_t id, std::span<const std::uint8_t> body);

    // The whole file; its header names the file size and a nonzero count of chunks.
    std::vector<std::uint8_t> Finish() const;

private:
    std::uint32_t chunkCount = 0;
    std::vector<std::uint8_t> chunks;
};

// A whole model in the usual arrangement.
struct G1MModelDescription {
    std::vector<CG1MBone> bones;
    std::vector<Matrix4> matrices;
    Vector3 boundsMin{0, 0, 0};
    Vector3 boundsMax{0, 0, 0};
    std::vector<G1MVertexBuffer> vertexBuffers;
    std::vector<std::vector<CG1MJointMapEntry>> jointMaps;
    std::vector<std::vector<std::uint16_t>> indexBuffers;
    std::vector<CG1MSubmesh> submeshes;
};

// A G1MS chunk, a G1MM chunk, then a G1MG chunk with vertex buffers, joint maps, index buffers and
// submeshes, in that order.
std::vector<std::uint8_t> WriteG1M(const G1MModelDescription& model);

} // namespace tavro::authoring
