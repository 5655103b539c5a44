#include "export/SceneGeometry.h"

#include "export/StripTriangles.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace tavro {
namespace {

constexpr std::int32_t kUnmapped = -1;

// p * matrix for the row vector (p, 1), as the vertex shader places a vertex.
std::array<float, 3> TransformPoint(const float p[3], const Matrix4& m) {
    std::array<float, 3> result;
    for (int c = 0; c < 3; ++c) {
        result[c] = p[0] * m.At(0, c) + p[1] * m.At(1, c) + p[2] * m.At(2, c) + m.At(3, c);
    }
    return result;
}

// The rows of the cofactor matrix of the matrix's upper 3 x 3 part, times the sign of its determinant:
// n * NormalMatrix has the direction of n times the inverse transpose, and exists even when the part is
// singular.
std::array<std::array<double, 3>, 3> NormalMatrix(const Matrix4& m) {
    auto a = [&m](int r, int c) { return static_cast<double>(m.At(r, c)); };
    std::array<std::array<double, 3>, 3> cofactor;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            cofactor[r][c] = a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1);
        }
    }
    const double determinant = a(0, 0) * cofactor[0][0] + a(0, 1) * cofactor[0][1] + a(0, 2) * cofactor[0][2];
    if (determinant < 0) {
        for (auto& row : cofactor) {
            for (double& value : row) {
                value = -value;
            }
        }
    }
    return cofactor;
}

// The unit normal in glTF's frame, or false when it has no direction.
bool TransformNormal(const float n[3], const std::array<std::array<double, 3>, 3>& normalMatrix,
                     std::array<float, 3>& result) {
    double v[3];
    for (int c = 0; c < 3; ++c) {
        v[c] = n[0] * normalMatrix[0][c] + n[1] * normalMatrix[1][c] + n[2] * normalMatrix[2][c];
    }
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(length > 0) || !std::isfinite(length)) {
        return false;
    }
    result = {static_cast<float>(-v[0] / length), static_cast<float>(v[1] / length),
              static_cast<float>(v[2] / length)};
    return true;
}

class PrimitiveBuilder {
public:
    explicit PrimitiveBuilder(const CG1MModel& model)
        : vertices(model.ViewVertices()), indices(model.ViewIndices()), remap(0x10000, kUnmapped) {}

    // Fills primitive from one draw item; false with error set for a non-finite value. The draw list
    // guarantees that the item's index range and every index in it (the cut aside) name vertices.
    bool Build(const CG1MDrawItem& item, ScenePrimitive& primitive, bool& hasNormals, std::string& error) {
        strip.clear();
        AppendStripTriangles(indices.subspan(item.startIndex, item.indexCount), strip);
        const auto normalMatrix = NormalMatrix(item.matrix);
        hasNormals = true;
        primitive.positionMin.fill(std::numeric_limits<float>::infinity());
        primitive.positionMax.fill(-std::numeric_limits<float>::infinity());
        // Written in reverse order: the mirror of x turns the viewer's clockwise fronts into glTF's
        // counter-clockwise ones only with each triangle's winding reversed.
        for (std::size_t t = 0; t < strip.size(); t += 3) {
            for (std::size_t corner = 3; corner-- > 0;) {
                const std::uint16_t index = strip[t + corner];
                if (remap[index] == kUnmapped) {
                    remap[index] = static_cast<std::int32_t>(used.size());
                    used.push_back(index);
                    if (!AddVertex(vertices[item.baseVertex + index], item.matrix, normalMatrix, primitive,
                                   hasNormals, error)) {
                        return false;
                    }
                }
                primitive.triangles.push_back(static_cast<std::uint16_t>(remap[index]));
            }
        }
        for (const std::uint16_t index : used) {
            remap[index] = kUnmapped;
        }
        used.clear();
        if (!hasNormals) {
            primitive.normals.clear();
        }
        return true;
    }

private:
    static bool AddVertex(const CG1MVertex& vertex, const Matrix4& matrix,
                          const std::array<std::array<double, 3>, 3>& normalMatrix, ScenePrimitive& primitive,
                          bool& hasNormals, std::string& error) {
        const std::array<float, 3> world = TransformPoint(vertex.position, matrix);
        const std::array<float, 3> position = {-world[0], world[1], world[2]};
        for (int c = 0; c < 3; ++c) {
            if (!std::isfinite(position[c])) {
                error = "a vertex position is not a finite number in world space";
                return false;
            }
            primitive.positionMin[c] = std::min(primitive.positionMin[c], position[c]);
            primitive.positionMax[c] = std::max(primitive.positionMax[c], position[c]);
        }
        if (!std::isfinite(vertex.texCoord[0]) || !std::isfinite(vertex.texCoord[1])) {
            error = "a texture coordinate is not a finite number";
            return false;
        }
        primitive.positions.insert(primitive.positions.end(), position.begin(), position.end());
        primitive.texCoords.insert(primitive.texCoords.end(), vertex.texCoord, vertex.texCoord + 2);
        std::array<float, 3> normal{};
        if (hasNormals && TransformNormal(vertex.normal, normalMatrix, normal)) {
            primitive.normals.insert(primitive.normals.end(), normal.begin(), normal.end());
        } else {
            hasNormals = false;
        }
        return true;
    }

    std::span<const CG1MVertex> vertices;
    std::span<const std::uint16_t> indices;
    std::vector<std::int32_t> remap; // index value -> vertex of the primitive being built
    std::vector<std::uint16_t> used; // index values mapped so far, to reset the table
    std::vector<std::uint16_t> strip;
};

} // namespace

bool BuildScenePrimitives(const CG1MModel& model, std::vector<ScenePrimitive>& primitives,
                          std::vector<std::string>& warnings, std::string& error) {
    primitives.clear();
    try {
        const std::vector<CG1MDrawItem> items = model.BuildDrawItems();
        const std::size_t submeshCount = model.GetSubmeshes().size();
        if (items.size() < submeshCount) {
            warnings.push_back(std::to_string(submeshCount - items.size()) + " of " +
                               std::to_string(submeshCount) +
                               " submeshes left out: they refer to buffers, joint maps, matrices or bones "
                               "the model does not have");
        }
        PrimitiveBuilder builder(model);
        std::size_t empty = 0, withoutNormals = 0;
        for (const CG1MDrawItem& item : items) {
            ScenePrimitive primitive;
            bool hasNormals = true;
            if (!builder.Build(item, primitive, hasNormals, error)) {
                return false;
            }
            if (primitive.triangles.empty()) {
                ++empty;
                continue;
            }
            withoutNormals += hasNormals ? 0 : 1;
            primitives.push_back(std::move(primitive));
        }
        if (empty != 0) {
            warnings.push_back(std::to_string(empty) + " submeshes left out: their strips hold no triangle");
        }
        if (withoutNormals != 0) {
            warnings.push_back(std::to_string(withoutNormals) +
                               " submeshes written without normals: some of their normals have no direction");
        }
        return true;
    } catch (const std::bad_alloc&) {
        primitives.clear();
        error = "not enough memory to convert the model";
        return false;
    }
}

} // namespace tavro
