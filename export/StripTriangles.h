#pragma once
// Triangle strips, as the renderer draws them, rewritten as a list of separate triangles.
#include <cstdint>
#include <span>
#include <vector>

namespace tavro {

// Appends to triangles (three indices each) the triangles of the strips in indices, which the strip
// cut 0xFFFF separates, in the winding the renderer gives them: counting k from 0 at the start and again
// after each cut, triangle k is (k, k+1, k+2) for even k and (k+1, k, k+2) for odd k. Triangles that
// repeat an index are left out, as a rasteriser draws nothing for them; the cut never appears in the
// output.
void AppendStripTriangles(std::span<const std::uint16_t> indices, std::vector<std::uint16_t>& triangles);

} // namespace tavro
