// The draw arrays and the per-frame draw list: which submeshes are safe to draw, and the transform
// each one gets from its joint map, the G1MM matrices and its bone chain.
#include "model/G1MModel.h"

#include "model/G1MBoneChains.h"

#include <algorithm>
#include <limits>

namespace tavro {

std::vector<CG1MVertex> CG1MModel::GetVertices() const {
    return {vertices.begin(), vertices.end()};
}

std::vector<std::uint16_t> CG1MModel::GetIndices() const {
    return {indices.begin(), indices.end()};
}

std::uint32_t CG1MModel::CountStrayIndices(std::uint32_t* strayBefore) const {
    std::uint32_t strayCount = 0;
    for (std::size_t b = 0; b + 1 < indexBufferStarts.size(); ++b) {
        // An index buffer without a vertex buffer of the same number has no vertex to name.
        const std::uint32_t vertexCount =
            b + 1 < vertexBufferStarts.size() ? vertexBufferStarts[b + 1] - vertexBufferStarts[b] : 0;
        for (std::uint32_t i = indexBufferStarts[b]; i < indexBufferStarts[b + 1]; ++i) {
            if (strayBefore != nullptr) {
                strayBefore[i] = strayCount;
            }
            if (indices[i] != kStripCutIndex && indices[i] >= vertexCount) {
                ++strayCount;
            }
        }
    }
    if (strayBefore != nullptr) {
        strayBefore[indices.size()] = strayCount;
    }
    return strayCount;
}

void CG1MModel::ValidateSubmeshRanges() {
    const std::size_t bufferCount = std::min(vertexBufferStarts.size(), indexBufferStarts.size());
    // strayBefore[i] counts the stray indices before position i. A sound model has none, and then
    // the table is never built.
    std::vector<std::uint32_t> strayBefore;
    if (CountStrayIndices(nullptr) != 0) {
        strayBefore.resize(indices.size() + 1);
        CountStrayIndices(strayBefore.data());
    }

    submeshDrawable.assign(submeshes.size(), false);
    for (std::size_t s = 0; s < submeshes.size(); ++s) {
        const CG1MSubmesh& submesh = submeshes[s];
        if (std::uint64_t{submesh.bufferIndex} + 1 >= bufferCount) {
            continue;
        }
        const std::uint32_t b = submesh.bufferIndex;
        const std::uint64_t bufferIndexCount = indexBufferStarts[b + 1] - indexBufferStarts[b];
        if (std::uint64_t{submesh.firstIndex} + submesh.indexCount > bufferIndexCount) {
            continue;
        }
        if (vertexBufferStarts[b] > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
            continue;
        }
        const std::uint32_t first = indexBufferStarts[b] + submesh.firstIndex;
        if (!strayBefore.empty() && strayBefore[first + submesh.indexCount] != strayBefore[first]) {
            continue;
        }
        submeshDrawable[s] = true;
    }
}

const CG1MJointMapEntry* CG1MModel::PlacingEntry(std::size_t s, bool& identity) const {
    identity = false;
    const CG1MSubmesh& submesh = submeshes[s];
    if (!submeshDrawable[s] || submesh.jointMapIndex >= jointMaps.size()) {
        return nullptr;
    }
    const std::vector<CG1MJointMapEntry>& jointMap = jointMaps[submesh.jointMapIndex];
    if (jointMap.empty()) {
        identity = true;
        return nullptr;
    }
    const CG1MJointMapEntry& entry = jointMap.front();
    return entry.matrixIndex < matrices.size() ? &entry : nullptr;
}

std::vector<CG1MDrawItem> CG1MModel::BuildDrawItems() const {
    // Each start bone's chain is worked out once, however many submeshes hang from it.
    std::vector<std::int32_t> startBones;
    startBones.reserve(submeshes.size());
    for (std::size_t s = 0; s < submeshes.size(); ++s) {
        bool identity = false;
        if (const CG1MJointMapEntry* entry = PlacingEntry(s, identity)) {
            startBones.push_back(entry->boneIndex);
        }
    }
    const G1MBoneChains chains(bones, startBones);

    std::vector<CG1MDrawItem> items;
    items.reserve(submeshes.size());
    for (std::size_t s = 0; s < submeshes.size(); ++s) {
        const CG1MSubmesh& submesh = submeshes[s];
        bool identity = false;
        const CG1MJointMapEntry* entry = PlacingEntry(s, identity);
        CG1MDrawItem item;
        if (identity) {
            item.matrix = MatrixIdentity();
        } else if (entry == nullptr || !chains.Get(entry->boneIndex, item.matrix)) {
            continue;
        } else {
            item.matrix = MatrixMultiply(matrices[entry->matrixIndex], item.matrix);
        }
        item.indexCount = submesh.indexCount;
        item.startIndex = indexBufferStarts[submesh.bufferIndex] + submesh.firstIndex;
        item.baseVertex = static_cast<std::int32_t>(vertexBufferStarts[submesh.bufferIndex]);
        items.push_back(item);
    }
    return items;
}

} // namespace tavro
