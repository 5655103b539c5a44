#pragma once
// The demo's meshes before they become G1M files: parts made of triangle strips (cut by 0xFFFF), each
// drawn once per joint map it names, plus the skeleton, the G1MM matrices and the joint maps that place
// them. The primitives below wind every triangle so that its front face, clockwise on screen in our
// left-handed view, is the outside of the surface: for a strip triangle (a, b, c) the cross product
// (b - a) x (c - a) points outward.
#include "model/G1MRecords.h"
#include "model/Matrix.h"

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace tavro::authoring {

// Most vertices one part may hold: 16-bit indices, with 0xFFFF reserved for the strip cut.
constexpr std::uint32_t kMaxPartVertices = 0xFFFF;

struct DemoPart {
    std::vector<CG1MVertex> vertices;
    std::vector<std::uint16_t> strips;     // triangle strips, cut by kStripCutIndex
    std::vector<std::uint32_t> placements; // joint map indices; the part is drawn once per entry
};

struct DemoModel {
    std::vector<CG1MBone> bones;
    std::vector<Matrix4> matrices;
    std::vector<std::vector<CG1MJointMapEntry>> jointMaps;
    std::vector<DemoPart> parts;

    // A joint map whose first entry names matrix and bone (-1 for none); returns its index.
    std::uint32_t AddJointMap(std::uint32_t matrixIndex, std::int32_t boneIndex);
    // An empty joint map: its parts are drawn untransformed.
    std::uint32_t AddEmptyJointMap();
    std::uint32_t AddMatrix(const Matrix4& matrix);
    std::uint32_t AddBone(const CG1MBone& bone);
    std::uint64_t VertexCount() const;
};

// A point of a parametric surface for u, v in [0, 1].
using SurfaceFunction = std::function<Vector3(float u, float v)>;

// Texture coordinates of a surface: u and v scaled by uRepeat and vRepeat; v is flipped so that the
// texture's top row lies at surface v = 1.
struct UvMapping {
    float uRepeat = 1;
    float vRepeat = 1;
};

// Adds a (columns + 1) x (rows + 1) grid of surface points as strips, one per row of quads. The outside
// is the side that dv x du points to (dv and du the partial derivatives). Grids too large for one part
// are split into bands of rows, each a part of its own. Every new part is placed by placement.
void AddSurface(DemoModel& model, std::uint32_t placement, std::uint32_t columns, std::uint32_t rows,
                const SurfaceFunction& surface, UvMapping uv = {});

// Appends the same grid to part, which must have room for its vertices.
void AppendSurface(DemoPart& part, std::uint32_t columns, std::uint32_t rows, const SurfaceFunction& surface,
                   UvMapping uv = {});

// A closed surface of revolution about the y axis: profile(t) gives (radius, height) for t in [0, 1],
// from a point on the axis at the bottom to a point on the axis at the top, running outside first.
void AppendRevolution(DemoPart& part, std::uint32_t segments, std::uint32_t profileSteps,
                      const std::function<std::pair<float, float>(float)>& profile, UvMapping uv = {});

// An axis-aligned box from low to high as six faces.
void AppendBox(DemoPart& part, Vector3 low, Vector3 high, UvMapping uv = {});

// A closed tube of the given radius around the closed curve centre(t), t in [0, 1].
void AppendTube(DemoPart& part, std::uint32_t segments, std::uint32_t sides, float radius,
                const std::function<Vector3(float)>& centre, UvMapping uv = {});

// A sphere of the given radius about centre.
void AppendSphere(DemoPart& part, Vector3 centre, float radius, std::uint32_t segments, UvMapping uv = {});

// Vector helpers used by the shape makers.
Vector3 Add(Vector3 a, Vector3 b);
Vector3 Sub(Vector3 a, Vector3 b);
Vector3 Scale(Vector3 a, float s);
Vector3 Cross(Vector3 a, Vector3 b);
float Dot(Vector3 a, Vector3 b);
Vector3 Normalized(Vector3 a, Vector3 fallback = {0, 1, 0});
// The quaternion (x, y, z, w) turning by angle radians about axis.
std::array<float, 4> AxisAngle(Vector3 axis, float angle);

} // namespace tavro::authoring
