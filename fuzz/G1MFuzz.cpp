// Fuzz target for CG1MModel::Load and the draw list. Besides not crashing, every draw item of an
// accepted model must stay inside the draw arrays: the renderer hands them to the device unchecked.
#include "file/MemoryFile.h"
#include "fuzz/FuzzTarget.h"
#include "model/G1MModel.h"

#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        return 0;
    }
    tavro::CReadOnlyMemoryFile file(data, static_cast<std::uint32_t>(size), false);
    tavro::CG1MModel model;
    if (!model.Load(file)) {
        return 0;
    }
    const auto vertices = model.ViewVertices();
    const auto indices = model.ViewIndices();
    for (const tavro::CG1MDrawItem& item : model.BuildDrawItems()) {
        if (std::uint64_t{item.startIndex} + item.indexCount > indices.size() || item.baseVertex < 0) {
            __builtin_trap();
        }
        for (std::uint32_t i = item.startIndex; i < item.startIndex + item.indexCount; ++i) {
            if (indices[i] != tavro::kStripCutIndex &&
                std::uint64_t{indices[i]} + static_cast<std::uint32_t>(item.baseVertex) >= vertices.size()) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
