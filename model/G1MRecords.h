#pragma once
// The G1M file's identifiers and the records the model keeps. The bone, joint-map entry and submesh
// records have the exact layout of their bytes in the file and are copied into the model unchanged;
// the model reader and the G1M writer share these definitions so the two cannot drift apart.
#include <bit>
#include <cstdint>

namespace tavro {

// Records are copied byte for byte from little-endian files.
static_assert(std::endian::native == std::endian::little, "G1M records are read as little-endian memory");

constexpr std::uint32_t kG1MMagic = 0x47314D5F;   // "_M1G"
constexpr std::uint32_t kG1MVersion = 0x30303334; // "4300"
constexpr std::uint32_t kG1MHeaderSize = 24;
constexpr std::uint32_t kG1MChunkHeaderSize = 12;

constexpr std::uint32_t kG1MSkeletonChunkId = 0x47314D53; // G1MS
constexpr std::uint32_t kG1MMatrixChunkId = 0x47314D4D;   // G1MM
constexpr std::uint32_t kG1MGeometryChunkId = 0x47314D47; // G1MG

constexpr std::uint32_t kG1MSkeletonHeadSize = 28;
constexpr std::uint32_t kG1MMatrixHeadSize = 16;
constexpr std::uint32_t kG1MGeometryHeadSize = 48;
constexpr std::uint32_t kG1MSubchunkHeadSize = 12; // id, size, element count

constexpr std::uint32_t kG1MVertexBuffersId = 0x10004;
constexpr std::uint32_t kG1MJointMapsId = 0x10006;
constexpr std::uint32_t kG1MIndexBuffersId = 0x10007;
constexpr std::uint32_t kG1MSubmeshesId = 0x10008;

constexpr std::uint32_t kG1MVertexBufferHeadSize = 16;
constexpr std::uint32_t kG1MIndexBufferHeadSize = 12;

// The only vertex strides a model may use; the attribute positions follow from the stride alone.
constexpr std::uint32_t kG1MVertexStrides[] = {36, 40, 44, 48, 52, 108};
constexpr bool IsG1MVertexStride(std::uint32_t stride) {
    for (std::uint32_t known : kG1MVertexStrides) {
        if (stride == known) {
            return true;
        }
    }
    return false;
}
// Where the normal and texture coordinate start inside a source vertex; the position is at 0.
constexpr std::uint32_t G1MNormalOffset(std::uint32_t stride) {
    return stride - 24;
}
constexpr std::uint32_t G1MTexCoordOffset(std::uint32_t stride) {
    return stride - 8;
}

// Index value that cuts a triangle strip; it never refers to a vertex.
constexpr std::uint16_t kStripCutIndex = 0xFFFF;

// The vertex as uploaded: position, normal, texture coordinate; stride 32 with no gaps.
struct CG1MVertex {
    float position[3];
    float normal[3];
    float texCoord[2];
};
static_assert(sizeof(CG1MVertex) == 32, "CG1MVertex must be 32 bytes with no padding");

// One bone of the G1MS skeleton (48 bytes in the file).
struct CG1MBone {
    float scale[3];
    std::int32_t parent; // index in the same skeleton; -1 for a root
    float rotation[4];   // quaternion x, y, z, w (w the scalar part), not normalised
    float position[3];
    std::uint32_t unused;
};
static_assert(sizeof(CG1MBone) == 48, "CG1MBone must match its 48 file bytes");

// One entry of a joint map (12 bytes in the file). Only a map's first entry places its submesh.
struct CG1MJointMapEntry {
    std::uint32_t matrixIndex; // position in the G1MM matrices
    std::uint32_t unused;
    std::int32_t boneIndex; // position in the bones; -1 for none
};
static_assert(sizeof(CG1MJointMapEntry) == 12, "CG1MJointMapEntry must match its 12 file bytes");

// One submesh (56 bytes in the file, fourteen u32 fields).
struct CG1MSubmesh {
    std::uint32_t unused0;
    std::uint32_t bufferIndex;   // chooses both the vertex buffer and the index buffer
    std::uint32_t jointMapIndex; // position in the joint maps
    std::uint32_t unused3to11[9];
    std::uint32_t firstIndex; // first index within the submesh's index buffer
    std::uint32_t indexCount;
};
static_assert(sizeof(CG1MSubmesh) == 56, "CG1MSubmesh must match its 56 file bytes");

} // namespace tavro
