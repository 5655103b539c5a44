#include "authoring/demo/DemoMesh.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavro::authoring {
namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

using UvFunction = std::function<std::pair<float, float>(float u, float v, Vector3 point)>;

// The grid rows firstRow..lastRow of a (columns + 1) x (rows + 1) surface grid, appended to part.
void AppendGridRows(DemoPart& part, std::uint32_t columns, std::uint32_t rows, std::uint32_t firstRow,
                    std::uint32_t lastRow, const SurfaceFunction& surface, const UvFunction& uv) {
    const std::uint32_t across = columns + 1;
    const std::uint32_t down = lastRow - firstRow + 1;
    std::vector<Vector3> points(std::size_t{across} * down);
    for (std::uint32_t j = 0; j < down; ++j) {
        const float v = static_cast<float>(firstRow + j) / static_cast<float>(rows);
        for (std::uint32_t i = 0; i < across; ++i) {
            points[std::size_t{j} * across + i] =
                surface(static_cast<float>(i) / static_cast<float>(columns), v);
        }
    }
    const auto at = [&](std::uint32_t i, std::uint32_t j) { return points[std::size_t{j} * across + i]; };
    const std::size_t base = part.vertices.size();
    for (std::uint32_t j = 0; j < down; ++j) {
        const float v = static_cast<float>(firstRow + j) / static_cast<float>(rows);
        for (std::uint32_t i = 0; i < across; ++i) {
            const Vector3 p = at(i, j);
            const Vector3 du = Sub(at(std::min(i + 1, columns), j), at(i == 0 ? 0 : i - 1, j));
            const Vector3 dv = Sub(at(i, std::min(j + 1, down - 1)), at(i, j == 0 ? 0 : j - 1));
            const Vector3 n = Normalized(Cross(dv, du));
            const auto [tu, tv] = uv(static_cast<float>(i) / static_cast<float>(columns), v, p);
            part.vertices.push_back({{p.x, p.y, p.z}, {n.x, n.y, n.z}, {tu, tv}});
        }
    }
    for (std::uint32_t j = 0; j + 1 < down; ++j) {
        if (!part.strips.empty()) {
            part.strips.push_back(kStripCutIndex);
        }
        for (std::uint32_t i = 0; i < across; ++i) {
            part.strips.push_back(static_cast<std::uint16_t>(base + std::size_t{j} * across + i));
            part.strips.push_back(static_cast<std::uint16_t>(base + std::size_t{j + 1} * across + i));
        }
    }
}

UvFunction PlainUv(UvMapping uv) {
    return [uv](float u, float v, Vector3) { return std::pair{u * uv.uRepeat, (1.0f - v) * uv.vRepeat}; };
}

} // namespace

std::uint32_t DemoModel::AddJointMap(std::uint32_t matrixIndex, std::int32_t boneIndex) {
    jointMaps.push_back({CG1MJointMapEntry{matrixIndex, 0, boneIndex}});
    return static_cast<std::uint32_t>(jointMaps.size() - 1);
}

std::uint32_t DemoModel::AddEmptyJointMap() {
    jointMaps.emplace_back();
    return static_cast<std::uint32_t>(jointMaps.size() - 1);
}

std::uint32_t DemoModel::AddMatrix(const Matrix4& matrix) {
    matrices.push_back(matrix);
    return static_cast<std::uint32_t>(matrices.size() - 1);
}

std::uint32_t DemoModel::AddBone(const CG1MBone& bone) {
    bones.push_back(bone);
    return static_cast<std::uint32_t>(bones.size() - 1);
}

std::uint64_t DemoModel::VertexCount() const {
    std::uint64_t count = 0;
    for (const DemoPart& part : parts) {
        count += part.vertices.size();
    }
    return count;
}

void AddSurface(DemoModel& model, std::uint32_t placement, std::uint32_t columns, std::uint32_t rows,
                const SurfaceFunction& surface, UvMapping uv) {
    // Each band repeats its neighbour's boundary row so the bands meet without a gap.
    const std::uint32_t rowsPerBand = std::max<std::uint32_t>(1, kMaxPartVertices / (columns + 1) - 1);
    for (std::uint32_t first = 0; first < rows; first += rowsPerBand) {
        DemoPart& part = model.parts.emplace_back();
        part.placements.push_back(placement);
        AppendGridRows(part, columns, rows, first, std::min(rows, first + rowsPerBand), surface, PlainUv(uv));
    }
}

void AppendSurface(DemoPart& part, std::uint32_t columns, std::uint32_t rows, const SurfaceFunction& surface,
                   UvMapping uv) {
    AppendGridRows(part, columns, rows, 0, rows, surface, PlainUv(uv));
}

void AppendRevolution(DemoPart& part, std::uint32_t segments, std::uint32_t profileSteps,
                      const std::function<std::pair<float, float>(float)>& profile, UvMapping uv) {
    float low = profile(0).second;
    float high = low;
    for (std::uint32_t k = 0; k <= profileSteps; ++k) {
        const float h = profile(static_cast<float>(k) / static_cast<float>(profileSteps)).second;
        low = std::min(low, h);
        high = std::max(high, h);
    }
    const float span = std::max(high - low, 1e-6f);
    const SurfaceFunction surface = [&](float u, float v) {
        const auto [radius, height] = profile(v);
        const float angle = kTwoPi * u;
        return Vector3{radius * std::cos(angle), height, radius * std::sin(angle)};
    };
    // The texture runs by height rather than along the profile, so text stays upright on the outside.
    const UvFunction heightUv = [&](float u, float, Vector3 p) {
        return std::pair{u * uv.uRepeat, (high - p.y) / span * uv.vRepeat};
    };
    AppendGridRows(part, segments, profileSteps, 0, profileSteps, surface, heightUv);
}

void AppendBox(DemoPart& part, Vector3 low, Vector3 high, UvMapping uv) {
    const Vector3 size = Sub(high, low);
    const Vector3 centre = Add(low, Scale(size, 0.5f));
    const Vector3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const float half[3] = {size.x * 0.5f, size.y * 0.5f, size.z * 0.5f};
    for (int axis = 0; axis < 3; ++axis) {
        for (float sign : {1.0f, -1.0f}) {
            const Vector3 n = Scale(axes[axis], sign);
            // Up is y on the sides and z on top and bottom; right = n x up, so up x right = n.
            const int upAxis = axis == 1 ? 2 : 1;
            const Vector3 up = axes[upAxis];
            const Vector3 right = Cross(n, up);
            const int rightAxis = 3 - axis - upAxis;
            const float halfUp = half[upAxis];
            const float halfRight = half[rightAxis];
            const Vector3 faceCentre = Add(centre, Scale(n, half[axis]));
            AppendSurface(
                part, 1, 1,
                [&](float u, float v) {
                    return Add(faceCentre,
                               Add(Scale(right, (2 * u - 1) * halfRight), Scale(up, (2 * v - 1) * halfUp)));
                },
                uv);
        }
    }
}

void AppendTube(DemoPart& part, std::uint32_t segments, std::uint32_t sides, float radius,
                const std::function<Vector3(float)>& centre, UvMapping uv) {
    constexpr float kStep = 1e-3f;
    // A Frenet frame (T, N, B = T x N): the point C + r (cos a N + sin a B) has dv x du along its radius.
    const SurfaceFunction surface = [&](float u, float v) {
        const Vector3 c = centre(u);
        const Vector3 ahead = centre(u + kStep);
        const Vector3 behind = centre(u - kStep);
        const Vector3 t = Normalized(Sub(ahead, behind));
        const Vector3 bend = Sub(Add(ahead, behind), Scale(c, 2));
        Vector3 n = Sub(bend, Scale(t, Dot(bend, t)));
        n = Normalized(n, Normalized(Cross(t, {0.3f, 1, 0.2f})));
        const Vector3 b = Cross(t, n);
        const float angle = kTwoPi * v;
        return Add(c, Add(Scale(n, radius * std::cos(angle)), Scale(b, radius * std::sin(angle))));
    };
    AppendSurface(part, segments, sides, surface, uv);
}

void AppendSphere(DemoPart& part, Vector3 centre, float radius, std::uint32_t segments, UvMapping uv) {
    const std::uint32_t rings = std::max<std::uint32_t>(2, segments / 2);
    AppendRevolution(
        part, segments, rings,
        [&](float t) {
            const float angle = std::numbers::pi_v<float> * t;
            return std::pair{radius * std::sin(angle), -radius * std::cos(angle)};
        },
        uv);
    for (std::size_t i = part.vertices.size() - std::size_t{segments + 1} * (rings + 1);
         i < part.vertices.size(); ++i) {
        part.vertices[i].position[0] += centre.x;
        part.vertices[i].position[1] += centre.y;
        part.vertices[i].position[2] += centre.z;
    }
}

Vector3 Add(Vector3 a, Vector3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vector3 Sub(Vector3 a, Vector3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vector3 Scale(Vector3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
Vector3 Cross(Vector3 a, Vector3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(Vector3 a, Vector3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vector3 Normalized(Vector3 a, Vector3 fallback) {
    const float length = std::sqrt(Dot(a, a));
    return length > 1e-12f ? Scale(a, 1.0f / length) : fallback;
}

std::array<float, 4> AxisAngle(Vector3 axis, float angle) {
    const Vector3 unit = Normalized(axis);
    const float s = std::sin(angle * 0.5f);
    return {unit.x * s, unit.y * s, unit.z * s, std::cos(angle * 0.5f)};
}

} // namespace tavro::authoring
