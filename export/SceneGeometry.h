#pragma once
// The model's geometry as an exported scene holds it: one triangle-list primitive per draw item, in the
// viewer's world space and converted to a right-handed frame (glTF's: x mirrored, windings reversed),
// so that a viewer of the exported file, looking from +z toward -z with y up, sees what the model
// viewer shows at angle 0.
#include "model/G1MModel.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tavro {

struct ScenePrimitive {
    std::vector<float> positions;         // x, y, z of each vertex the primitive's triangles use
    std::vector<float> normals;           // x, y, z, unit length; empty when some normal has no direction
    std::vector<float> texCoords;         // u, v as the model stores them
    std::vector<std::uint16_t> triangles; // three indices into the vertices above per triangle
    std::array<float, 3> positionMin{};
    std::array<float, 3> positionMax{};
};

// Converts every draw item of the model's draw list into a primitive, in draw-list order. Items the
// draw list leaves out (broken references) and items whose strips hold no triangle are skipped, each
// kind reported by one line in warnings, as are primitives written without normals. False, with error
// set to one line, when a position or texture coordinate is not a finite number (a damaged model) or
// memory runs out.
bool BuildScenePrimitives(const CG1MModel& model, std::vector<ScenePrimitive>& primitives,
                          std::vector<std::string>& warnings, std::string& error);

} // namespace tavro
