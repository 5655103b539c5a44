#include "export/StripTriangles.h"

#include "model/G1MRecords.h"

#include <utility>

namespace tavro {

void AppendStripTriangles(std::span<const std::uint16_t> indices, std::vector<std::uint16_t>& triangles) {
    std::size_t stripStart = 0;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (indices[i] == kStripCutIndex) {
            stripStart = i + 1;
            continue;
        }
        if (i < stripStart + 2) {
            continue;
        }
        const std::size_t k = i - stripStart - 2;
        std::uint16_t a = indices[i - 2];
        std::uint16_t b = indices[i - 1];
        const std::uint16_t c = indices[i];
        if (a == b || b == c || a == c) {
            continue;
        }
        if (k % 2 == 1) {
            std::swap(a, b);
        }
        triangles.insert(triangles.end(), {a, b, c});
    }
}

} // namespace tavro
