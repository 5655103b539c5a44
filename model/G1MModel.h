#pragma once
// CG1MModel: one G1M model read into memory, with the draw arrays and the per-frame draw list the
// renderer takes from it.
#include "model/G1MRecords.h"
#include "model/Matrix.h"
#include "model/UninitializedAllocator.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tavro {

class CAbstractFile;

// One submesh's transform and the three arguments of its indexed draw.
struct CG1MDrawItem {
    Matrix4 matrix; // applied to the submesh's positions before the model transform
    std::uint32_t indexCount;
    std::uint32_t startIndex; // in the whole index array
    std::int32_t baseVertex;  // position in the whole vertex array of the vertex index 0 refers to
};

class CG1MModel {
public:
    CG1MModel() = default;
    CG1MModel(const CG1MModel&) = delete;
    CG1MModel& operator=(const CG1MModel&) = delete;

    // Reads a whole G1M file from position 0. Returns true when the header and every chunk were
    // accepted; on false (running out of memory included) the record is left empty.
    bool Load(CAbstractFile& file);

    // Copies of the draw arrays: every vertex buffer, then every index buffer, in file order. Indices
    // count from the first vertex of their own buffer.
    std::vector<CG1MVertex> GetVertices() const;
    std::vector<std::uint16_t> GetIndices() const;
    // The same arrays without copying, valid while the record lives.
    std::span<const CG1MVertex> ViewVertices() const { return vertices; }
    std::span<const std::uint16_t> ViewIndices() const { return indices; }

    // One draw item per drawable submesh, in submesh order. A submesh is left out when any reference
    // it depends on is broken: its buffer index, its index range (which must lie inside its index
    // buffer) or an index value (which, unless it is the strip cut 0xFFFF, must name a vertex of its
    // vertex buffer), its joint-map index, the first joint-map entry's matrix or bone index, or a
    // bone's parent chain (out of range, or a loop). The other submeshes' items are unaffected. The
    // list does not change between calls: a caller that draws it every frame builds it once.
    std::vector<CG1MDrawItem> BuildDrawItems() const;

    // Entry i is the first vertex (index) of buffer i; the last entry is the total count.
    std::span<const std::uint32_t> GetVertexBufferStarts() const { return vertexBufferStarts; }
    std::span<const std::uint32_t> GetIndexBufferStarts() const { return indexBufferStarts; }
    // The bounding box of the last G1MG chunk; all zero when the model has none.
    const std::array<float, 3>& GetBoundsMin() const { return boundsMin; }
    const std::array<float, 3>& GetBoundsMax() const { return boundsMax; }
    std::span<const CG1MBone> GetBones() const { return bones; }
    std::span<const Matrix4> GetMatrices() const { return matrices; }
    const std::vector<std::vector<CG1MJointMapEntry>>& GetJointMaps() const { return jointMaps; }
    std::span<const CG1MSubmesh> GetSubmeshes() const { return submeshes; }

private:
    void Clear();
    bool LoadChunks(CAbstractFile& file, std::uint32_t size);

    // Chunk readers: each takes a whole chunk or sub-chunk, head included, and checks every size
    // exactly before it changes the record.
    bool ParseG1MS(const std::uint8_t* chunk, std::uint32_t size);
    bool ParseG1MM(const std::uint8_t* chunk, std::uint32_t size);
    bool ParseG1MG(const std::uint8_t* chunk, std::uint32_t size);
    bool ParseVertexBuffers(const std::uint8_t* subchunk, std::uint32_t size);
    bool ParseJointMaps(const std::uint8_t* subchunk, std::uint32_t size);
    bool ParseIndexBuffers(const std::uint8_t* subchunk, std::uint32_t size);
    bool ParseSubmeshes(const std::uint8_t* subchunk, std::uint32_t size);

    // Marks each submesh whose buffer index and index range are safe to draw (submeshDrawable).
    // Run once the last chunk is read, so the per-frame draw list only checks the transform chain.
    void ValidateSubmeshRanges();
    // Counts the stray indices: those that name no vertex of their own buffer, the strip cut aside.
    // When strayBefore is given (indices.size() + 1 entries) it also records the count before each index.
    std::uint32_t CountStrayIndices(std::uint32_t* strayBefore) const;
    // The joint-map entry that places drawable submesh s, or null: with identity set when its joint map
    // is empty (the submesh is drawn untransformed), else because the submesh, its joint map or the
    // entry's matrix index is broken.
    const CG1MJointMapEntry* PlacingEntry(std::size_t s, bool& identity) const;

    std::vector<CG1MVertex, UninitializedAllocator<CG1MVertex>> vertices;
    std::vector<std::uint16_t, UninitializedAllocator<std::uint16_t>> indices;
    std::vector<std::uint32_t> vertexBufferStarts;
    std::vector<std::uint32_t> indexBufferStarts;
    std::array<float, 3> boundsMin{};
    std::array<float, 3> boundsMax{};
    std::vector<CG1MBone> bones;
    std::vector<Matrix4> matrices;
    std::vector<std::vector<CG1MJointMapEntry>> jointMaps;
    std::vector<CG1MSubmesh> submeshes;
    std::vector<bool> submeshDrawable;
};

} // namespace tavro
