#pragma once
// The procedural objects of the demo archive. Each schedule row gets its own object: the row picks the
// kind (vase, knot, figure, terrain, tree, bottle, tower, lattice, goblet, chain, creature, gear or
// spring, blob) and seeds its proportions, so no two rows look alike.
#include "authoring/demo/DemoMesh.h"

#include <cstdint>

namespace tavro::authoring {

// The object of a schedule row. detail scales the vertex counts (1 for the full demo; small values make
// small, quick test archives).
DemoModel MakeDemoShape(std::uint32_t row, float detail);

// The kind a row gets, for naming it in messages and tests.
const char* DemoShapeKindName(std::uint32_t row);

} // namespace tavro::authoring
