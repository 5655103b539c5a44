#include "authoring/demo/DemoShapes.h"

#include "authoring/G1MWriter.h"
#include "authoring/demo/DemoRandom.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavro::authoring {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kTwoPi = 2 * kPi;

enum class ShapeKind {
    Vase,
    Knot,
    Figure,
    Terrain,
    Tree,
    Bottle,
    Tower,
    Lattice,
    Goblet,
    Chain,
    Creature,
    GearOrSpring,
    Blob,
};
constexpr std::uint32_t kShapeKindCount = 13;
constexpr const char* kShapeKindNames[kShapeKindCount] = {
    "vase",    "knot",   "figure", "terrain",  "tree",           "bottle", "tower",
    "lattice", "goblet", "chain",  "creature", "gear or spring", "blob",
};

ShapeKind KindOfRow(std::uint32_t row) {
    return static_cast<ShapeKind>(row % kShapeKindCount);
}

// A vertex count of base at full detail, never below minimum.
std::uint32_t Resolution(float base, float detail, std::uint32_t minimum) {
    return std::max(minimum, static_cast<std::uint32_t>(std::lround(base * detail)));
}

float Smooth(float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

float Lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

using Profile = std::function<std::pair<float, float>(float)>;

// A profile made of straight or shaped pieces: piece k covers t in [ends[k-1], ends[k]].
struct ProfilePiece {
    float end;
    std::function<std::pair<float, float>(float s)> curve; // s in [0, 1] along the piece
};

Profile PiecewiseProfile(std::vector<ProfilePiece> pieces) {
    return [pieces = std::move(pieces)](float t) {
        float start = 0;
        for (const ProfilePiece& piece : pieces) {
            if (t <= piece.end || &piece == &pieces.back()) {
                return piece.curve(std::clamp((t - start) / (piece.end - start), 0.0f, 1.0f));
            }
            start = piece.end;
        }
        return pieces.back().curve(1);
    };
}

std::function<std::pair<float, float>(float)> Segment(float r0, float h0, float r1, float h1) {
    return [=](float s) { return std::pair{Lerp(r0, r1, s), Lerp(h0, h1, s)}; };
}

// Parts shared by several kinds, all closed and wound outward.

// A rounded limb from local y = 0 down to y = -1, radius up to 1.
void AppendSpindle(DemoPart& part, std::uint32_t segments) {
    AppendRevolution(part, segments, segments, [](float t) {
        // sin(pi) rounds to a tiny negative number, whose fractional power would be NaN.
        return std::pair{std::pow(std::max(std::sin(kPi * t), 0.0f), 0.35f), t - 1};
    });
}

// A tapered branch from local y = 0 (radius 1) down to y = -1 (radius tip).
void AppendFrustum(DemoPart& part, std::uint32_t segments, float tip) {
    AppendRevolution(
        part, segments, 6,
        PiecewiseProfile(
            {{0.2f, Segment(0, -1, tip, -1)}, {0.8f, Segment(tip, -1, 1, 0)}, {1.0f, Segment(1, 0, 0, 0)}}));
}

// A cylinder of radius 1 from y = 0 to y = 1.
void AppendCylinder(DemoPart& part, std::uint32_t segments) {
    AppendRevolution(
        part, segments, 9,
        PiecewiseProfile(
            {{1 / 3.0f, Segment(0, 0, 1, 0)}, {2 / 3.0f, Segment(1, 0, 1, 1)}, {1.0f, Segment(1, 1, 0, 1)}}));
}

// A cone of radius 1 from y = 0 to its apex at y = 1.
void AppendCone(DemoPart& part, std::uint32_t segments) {
    AppendRevolution(part, segments, 8,
                     PiecewiseProfile({{0.25f, Segment(0, 0, 1, 0)}, {1.0f, Segment(1, 0, 0, 1)}}));
}

// Texture repeats for a surface around the y axis of about this radius and height: each copy of the
// row number (two across and two down per texture) comes out about as wide as it is tall.
UvMapping AroundAndUp(float radius, float height) {
    return {std::max(1.0f, std::round(kTwoPi * radius / height)), 1};
}

DemoPart& NewPart(DemoModel& model) {
    return model.parts.emplace_back();
}

// Matrix helpers: every product applies its left factor first.
Matrix4 Then(const Matrix4& first, const Matrix4& second) {
    return MatrixMultiply(first, second);
}

Matrix4 RotationAbout(Vector3 axis, float angle) {
    const auto q = AxisAngle(axis, angle);
    return MatrixRotationQuaternion(q[0], q[1], q[2], q[3]);
}

Vector3 TransformDirection(Vector3 d, const Matrix4& m) {
    return {d.x * m.At(0, 0) + d.y * m.At(1, 0) + d.z * m.At(2, 0),
            d.x * m.At(0, 1) + d.y * m.At(1, 1) + d.z * m.At(2, 1),
            d.x * m.At(0, 2) + d.y * m.At(1, 2) + d.z * m.At(2, 2)};
}

// The quaternion that turns direction from onto direction to, in the row-vector convention of
// MatrixRotationQuaternion (checked numerically, so the sign of the angle cannot be wrong).
std::array<float, 4> Turning(Vector3 from, Vector3 to) {
    from = Normalized(from);
    to = Normalized(to);
    const float cosine = std::clamp(Dot(from, to), -1.0f, 1.0f);
    Vector3 axis = Cross(from, to);
    if (Dot(axis, axis) < 1e-10f) {
        if (cosine > 0) {
            return {0, 0, 0, 1};
        }
        axis = std::fabs(from.x) < 0.9f ? Cross(from, {1, 0, 0}) : Cross(from, {0, 0, 1});
    }
    const float angle = std::acos(cosine);
    for (float sign : {1.0f, -1.0f}) {
        const auto q = AxisAngle(axis, sign * angle);
        const Vector3 turned = TransformDirection(from, MatrixRotationQuaternion(q[0], q[1], q[2], q[3]));
        if (Dot(turned, to) > 0.99f) {
            return q;
        }
    }
    return AxisAngle(axis, angle);
}

// Builds a skeleton whose bones each carry a limb that runs along its local -y axis; tracks every bone's
// world rotation so a bone can be aimed along a world direction whatever its parent's pose.
class Skeleton {
public:
    explicit Skeleton(DemoModel& target) : model(target) {}

    std::uint32_t Add(std::int32_t parent, Vector3 position, std::array<float, 4> rotation,
                      Vector3 scale = {1, 1, 1}) {
        const Matrix4 local = MatrixRotationQuaternion(rotation[0], rotation[1], rotation[2], rotation[3]);
        worldRotation.push_back(parent < 0 ? local
                                           : Then(local, worldRotation[static_cast<std::size_t>(parent)]));
        return model.AddBone(MakeG1MBone(parent, position, rotation, scale));
    }
    // A bone whose local -y axis points along the world direction.
    std::uint32_t Aim(std::int32_t parent, Vector3 position, Vector3 worldDirection,
                      Vector3 scale = {1, 1, 1}) {
        Vector3 local = worldDirection;
        if (parent >= 0) {
            local = TransformDirection(worldDirection,
                                       MatrixTranspose(worldRotation[static_cast<std::size_t>(parent)]));
        }
        return Add(parent, position, Turning({0, -1, 0}, local), scale);
    }

private:
    DemoModel& model;
    std::vector<Matrix4> worldRotation;
};

// Draws part (by index) once more with the matrix on bone (or -1).
void Place(DemoModel& model, std::uint32_t part, const Matrix4& matrix, std::int32_t bone) {
    model.parts[part].placements.push_back(model.AddJointMap(model.AddMatrix(matrix), bone));
}

Matrix4 ScaleThenMove(Vector3 scale, Vector3 move) {
    return Then(MatrixScaling(scale.x, scale.y, scale.z), MatrixTranslation(move.x, move.y, move.z));
}

void MakeVase(DemoModel& model, DemoRandom& rng, float detail) {
    const float height = rng.Uniform(2.0f, 3.6f);
    const float base = rng.Uniform(0.35f, 0.6f);
    const float bulge = rng.Uniform(0.2f, 0.7f);
    const float ripple = rng.Uniform(0.0f, 0.12f);
    const float waves = static_cast<float>(2 + rng.Below(5));
    const float flare = rng.Uniform(0.0f, 0.5f);
    const float bulgeAt = rng.Uniform(0.3f, 0.6f);
    const float wall = 0.06f;
    const auto outer = [=](float s) {
        const float belly = bulge * std::exp(-std::pow((s - bulgeAt) / 0.3f, 2.0f));
        return base + belly + ripple * std::sin(kTwoPi * waves * s) + flare * std::pow(s, 6.0f) + wall +
               0.05f;
    };
    const std::uint32_t steps = 20 * Resolution(6, detail, 1);
    AppendRevolution(NewPart(model), Resolution(96, detail, 12), steps,
                     PiecewiseProfile({{0.1f,
                                        [=](float s) {
                                            return std::pair{outer(0) * s, 0.0f};
                                        }},
                                       {0.55f,
                                        [=](float s) {
                                            return std::pair{outer(s), height * s};
                                        }},
                                       {0.6f, Segment(outer(1), height, outer(1) - wall, height)},
                                       {0.95f,
                                        [=](float s) {
                                            const float h = Lerp(height, wall, s);
                                            return std::pair{outer(h / height) - wall, h};
                                        }},
                                       {1.0f,
                                        [=](float s) {
                                            return std::pair{(outer(wall / height) - wall) * (1 - s), wall};
                                        }}}),
                     AroundAndUp(base + bulge * 0.5f + wall, height));
    model.parts.back().placements.push_back(model.AddEmptyJointMap());
}

void MakeBottle(DemoModel& model, DemoRandom& rng, float detail) {
    const float body = rng.Uniform(0.5f, 0.9f);
    const float bodyHeight = rng.Uniform(1.2f, 2.2f);
    const float shoulder = rng.Uniform(0.2f, 0.7f);
    const float neck = rng.Uniform(0.12f, 0.3f);
    const float neckHeight = rng.Uniform(0.4f, 1.0f);
    const float squareness = rng.Uniform(0.0f, 0.25f);
    const float top = bodyHeight + shoulder + neckHeight;
    const std::uint32_t segments = Resolution(80, detail, 12);
    // The body's radius wobbles around the axis by squareness, so some bottles have flat sides.
    const SurfaceFunction surface = [=](float u, float v) {
        const float angle = kTwoPi * u;
        const float squash = 1 + squareness * std::cos(4 * angle);
        float r = 0;
        float h = 0;
        if (v < 0.1f) {
            r = body * v / 0.1f, h = 0;
        } else if (v < 0.5f) {
            r = body, h = bodyHeight * (v - 0.1f) / 0.4f;
        } else if (v < 0.7f) {
            const float s = (v - 0.5f) / 0.2f;
            r = Lerp(body, neck, Smooth(s)), h = bodyHeight + shoulder * s;
        } else if (v < 0.9f) {
            const float s = (v - 0.7f) / 0.2f;
            r = neck * (1 + 0.25f * std::exp(-std::pow((s - 0.85f) / 0.08f, 2.0f)));
            h = bodyHeight + shoulder + neckHeight * s;
        } else {
            r = neck * (1 - (v - 0.9f) / 0.1f), h = top;
        }
        const float shaped = Lerp(r * squash, r, Smooth((h - bodyHeight) / std::max(shoulder, 0.01f)));
        return Vector3{shaped * std::cos(angle), h, shaped * std::sin(angle)};
    };
    AddSurface(model, model.AddEmptyJointMap(), segments, Resolution(100, detail, 10), surface, {3, 1.5f});
    // A cork in the neck, placed by a matrix alone.
    const std::uint32_t cork = static_cast<std::uint32_t>(model.parts.size());
    AppendCylinder(NewPart(model), Resolution(24, detail, 8));
    Place(model, cork, ScaleThenMove({neck * 0.8f, 0.3f, neck * 0.8f}, {0, top - 0.05f, 0}), -1);
}

void MakeGoblet(DemoModel& model, DemoRandom& rng, float detail) {
    const float foot = rng.Uniform(0.5f, 0.9f);
    const float stem = rng.Uniform(0.06f, 0.14f);
    const float stemHeight = rng.Uniform(0.8f, 1.8f);
    const float bowl = rng.Uniform(0.6f, 1.1f);
    const float bowlHeight = rng.Uniform(0.8f, 1.5f);
    const float knob = rng.Uniform(0.0f, 0.15f);
    const float roundness = rng.Uniform(0.4f, 1.0f);
    const float wall = 0.05f;
    const float top = stemHeight + bowlHeight;
    const auto bowlRadius = [=](float s) { return bowl * std::pow(std::sin(kPi / 2 * s), roundness) + stem; };
    AppendRevolution(
        NewPart(model), Resolution(72, detail, 12), 20 * Resolution(7, detail, 1),
        PiecewiseProfile({
            {0.08f, Segment(0, 0, foot, 0)},
            {0.12f, Segment(foot, 0, foot, 0.05f)},
            {0.22f,
             [=](float s) {
                 return std::pair{Lerp(foot, stem, Smooth(s)), Lerp(0.05f, 0.25f, s)};
             }},
            {0.45f,
             [=](float s) {
                 const float h = Lerp(0.25f, stemHeight, s);
                 return std::pair{stem + knob * std::exp(-std::pow((s - 0.5f) / 0.1f, 2.0f)), h};
             }},
            {0.7f,
             [=](float s) {
                 return std::pair{bowlRadius(s), Lerp(stemHeight, top, s)};
             }},
            {0.73f, Segment(bowlRadius(1), top, bowlRadius(1) - wall, top)},
            {0.95f,
             [=](float s) {
                 const float b = 1 - s;
                 return std::pair{std::max(bowlRadius(b) - wall, 0.02f), Lerp(top, stemHeight + wall, s)};
             }},
            {1.0f,
             [=](float s) {
                 return std::pair{std::max(bowlRadius(0) - wall, 0.02f) * (1 - s), stemHeight + wall};
             }},
        }),
        {2, 1});
    model.parts.back().placements.push_back(model.AddEmptyJointMap());
}

void MakeKnot(DemoModel& model, DemoRandom& rng, float detail, std::uint32_t row) {
    static constexpr std::uint32_t kPairs[][2] = {{2, 3}, {3, 2}, {2, 5}, {3, 4}, {3, 5}, {5, 2},
                                                  {4, 3}, {2, 7}, {5, 3}, {3, 7}, {4, 5}, {5, 4}};
    const auto& pair = kPairs[(row / kShapeKindCount) % std::size(kPairs)];
    const float p = static_cast<float>(pair[0]);
    const float q = static_cast<float>(pair[1]);
    const float wind = rng.Uniform(0.35f, 0.55f);
    const float tube = rng.Uniform(0.16f, 0.24f);
    const float squash = rng.Uniform(0.6f, 1.4f);
    const auto curve = [=](float t) {
        const float phi = kTwoPi * t;
        const float r = 1 + wind * std::cos(q * phi);
        return Vector3{r * std::cos(p * phi), r * std::sin(p * phi), squash * wind * std::sin(q * phi)};
    };
    DemoPart& part = NewPart(model);
    AppendTube(part, Resolution(50 * (p + q), detail, 24), Resolution(18, detail, 6), tube, curve,
               {2 * (p + q), 1});
    // A tilt by matrix so the knot is seen at an angle as it turns.
    part.placements.push_back(
        model.AddJointMap(model.AddMatrix(RotationAbout({1, 0, 0}, rng.Uniform(-0.5f, 0.5f))), -1));
}

void MakeChain(DemoModel& model, DemoRandom& rng, float detail, std::uint32_t row) {
    const std::uint32_t links = 1 + (row / kShapeKindCount) % 7;
    const float radius = 1;
    const float tube = rng.Uniform(0.15f, 0.3f);
    const float stretch = rng.Uniform(1.0f, 1.6f);
    DemoPart& part = NewPart(model);
    AppendTube(part, Resolution(64, detail, 12), Resolution(16, detail, 6), tube,
               [=](float t) {
                   return Vector3{radius * stretch * std::cos(kTwoPi * t), 0, radius * std::sin(kTwoPi * t)};
               },
               {4, 1});
    const float spacing = radius * (stretch + 0.35f);
    const float start = -spacing * static_cast<float>(links - 1) / 2;
    const float tilt = links == 1 ? 0.6f : 0.0f;
    for (std::uint32_t i = 0; i < links; ++i) {
        const Matrix4 turn = RotationAbout({1, 0, 0}, (i % 2 ? kPi / 2 : 0) + tilt);
        Place(model, 0, Then(turn, MatrixTranslation(start + spacing * static_cast<float>(i), 0, 0)), -1);
    }
}

// A value noise in the plane from the row's own hash, smooth and repeatable.
float Noise(float x, float z, std::uint64_t seed) {
    const auto lattice = [seed](std::int64_t i, std::int64_t j) {
        DemoRandom hash(seed ^ (static_cast<std::uint64_t>(i) * 0x9E3779B1u) ^
                        (static_cast<std::uint64_t>(j) << 32));
        return hash.Uniform(-1, 1);
    };
    const float fx = std::floor(x);
    const float fz = std::floor(z);
    const auto i = static_cast<std::int64_t>(fx);
    const auto j = static_cast<std::int64_t>(fz);
    const float sx = Smooth(x - fx);
    const float sz = Smooth(z - fz);
    return Lerp(Lerp(lattice(i, j), lattice(i + 1, j), sx),
                Lerp(lattice(i, j + 1), lattice(i + 1, j + 1), sx), sz);
}

void MakeTerrain(DemoModel& model, DemoRandom& rng, float detail, std::uint32_t row) {
    // One terrain in twelve is among the demo's largest models, close to 300,000 vertices.
    const bool huge = (row / kShapeKindCount) % 12 == 0;
    const std::uint32_t rings = Resolution(huge ? 250 : rng.Uniform(24, 56), detail, 6);
    const std::uint32_t around = 4 * rings;
    const std::uint64_t seed = rng.Next();
    const float relief = rng.Uniform(0.25f, 0.6f);
    const float frequency = rng.Uniform(0.8f, 1.8f);
    const float depth = 0.25f;
    const auto height = [=](float x, float z) {
        float h = 0;
        float amplitude = relief;
        float f = frequency;
        for (int octave = 0; octave < 3; ++octave) {
            h += amplitude * Noise(x * f, z * f, seed + static_cast<std::uint64_t>(octave));
            amplitude *= 0.4f;
            f *= 2;
        }
        const float falloff = 1 - std::min(1.0f, x * x + z * z);
        return (h + relief) * falloff * 1.2f + 0.05f;
    };
    // Bottom disc, side wall and top surface around the y axis: a closed island slab.
    const float edge = 0.1f;
    const float wallEnd = 0.15f;
    const SurfaceFunction surface = [=](float u, float v) {
        const float angle = kTwoPi * u;
        const float c = std::cos(angle);
        const float s = std::sin(angle);
        if (v <= edge) {
            const float r = v / edge;
            return Vector3{r * c, -depth, r * s};
        }
        if (v <= wallEnd) {
            return Vector3{c, Lerp(-depth, height(c, s), (v - edge) / (wallEnd - edge)), s};
        }
        const float r = 1 - (v - wallEnd) / (1 - wallEnd);
        return Vector3{r * c, height(r * c, r * s), r * s};
    };
    // Tilted towards the camera by a matrix, so the relief shows as it turns.
    const std::uint32_t placement =
        model.AddJointMap(model.AddMatrix(RotationAbout({1, 0, 0}, rng.Uniform(0.35f, 0.6f))), -1);
    AddSurface(model, placement, around, rings + rings / 5 + 2, surface, {4, 1});
}

void MakeBlob(DemoModel& model, DemoRandom& rng, float detail) {
    const float m = static_cast<float>(2 + rng.Below(6));
    const float n = static_cast<float>(1 + rng.Below(5));
    const float a = rng.Uniform(0.15f, 0.45f);
    const float b = rng.Uniform(0.0f, 0.3f);
    const float k = static_cast<float>(2 + rng.Below(4));
    const float stretch = rng.Uniform(0.7f, 1.5f);
    const SurfaceFunction surface = [=](float u, float v) {
        const float theta = kTwoPi * u;
        const float phi = kPi * v;
        const float r =
            1 + a * std::sin(m * theta) * std::pow(std::sin(n * phi), 2.0f) + b * std::cos(k * phi);
        return Vector3{r * std::sin(phi) * std::cos(theta), -stretch * r * std::cos(phi),
                       r * std::sin(phi) * std::sin(theta)};
    };
    AddSurface(model, model.AddEmptyJointMap(), Resolution(160, detail, 12), Resolution(90, detail, 8),
               surface, AroundAndUp(1, 2 * stretch));
}

void MakeGearOrSpring(DemoModel& model, DemoRandom& rng, float detail, std::uint32_t row) {
    if ((row / kShapeKindCount) % 2 == 1) {
        const float turns = static_cast<float>(3 + rng.Below(6));
        const float radius = rng.Uniform(0.5f, 1.0f);
        const float height = rng.Uniform(2.0f, 4.0f);
        const float wire = rng.Uniform(0.08f, 0.16f);
        const auto helix = [=](float t) {
            return Vector3{radius * std::cos(kTwoPi * turns * t), height * (t - 0.5f),
                           radius * std::sin(kTwoPi * turns * t)};
        };
        DemoPart& part = NewPart(model);
        AppendTube(part, Resolution(40 * turns, detail, 16), Resolution(12, detail, 6), wire, helix,
                   {turns * 2, 1});
        AppendSphere(part, helix(0), wire, Resolution(12, detail, 6));
        AppendSphere(part, helix(1), wire, Resolution(12, detail, 6));
        part.placements.push_back(model.AddEmptyJointMap());
        return;
    }
    const std::uint32_t gears = 1 + rng.Below(3);
    float x = 0;
    float previousRadius = 0;
    for (std::uint32_t g = 0; g < gears; ++g) {
        const std::uint32_t teeth = 8 + rng.Below(17);
        const float radius = 0.08f * static_cast<float>(teeth);
        const float toothHeight = 0.12f;
        const float thickness = rng.Uniform(0.2f, 0.45f);
        const float hole = radius * rng.Uniform(0.0f, 0.3f);
        if (g > 0) {
            x += previousRadius + radius + 0.02f;
        }
        previousRadius = radius;
        const auto rim = [=](float angle) {
            const float wave = std::clamp(2.5f * std::sin(static_cast<float>(teeth) * angle), -1.0f, 1.0f);
            return radius + toothHeight * wave;
        };
        // Profile around the axis: underside, outer rim with teeth, top, and a hole through the middle
        // when hole > 0 (the profile then ends on the hole's wall instead of the axis).
        const SurfaceFunction surface = [=](float u, float v) {
            const float angle = kTwoPi * u;
            const float c = std::cos(angle);
            const float s = std::sin(angle);
            float r = 0;
            float h = 0;
            if (v < 0.3f) {
                r = Lerp(hole, rim(angle), v / 0.3f), h = 0;
            } else if (v < 0.5f) {
                r = rim(angle), h = thickness * (v - 0.3f) / 0.2f;
            } else if (v < 0.8f) {
                r = Lerp(rim(angle), hole, (v - 0.5f) / 0.3f), h = thickness;
            } else {
                r = hole, h = Lerp(thickness, 0.0f, (v - 0.8f) / 0.2f);
            }
            return Vector3{r * c, h, r * s};
        };
        DemoPart& part = NewPart(model);
        AppendSurface(part, Resolution(static_cast<float>(teeth) * 16, detail, 24), 20, surface, {2, 1});
        const float turn = g % 2 ? kPi / static_cast<float>(teeth) : 0;
        // Stood up to face the camera: the gear's axis turned from y onto z.
        const Matrix4 standUp =
            Then(MatrixTranslation(0, -thickness / 2, 0), RotationAbout({1, 0, 0}, kPi / 2));
        part.placements.push_back(model.AddJointMap(
            model.AddMatrix(Then(Then(RotationAbout({0, 1, 0}, turn), standUp), MatrixTranslation(x, 0, 0))),
            -1));
    }
    // Centre the row of gears on the y axis.
    const float middle = x / 2;
    for (Matrix4& matrix : model.matrices) {
        matrix.At(3, 0) -= middle;
    }
}

void MakeTower(DemoModel& model, DemoRandom& rng, float detail) {
    const bool round = rng.Below(3) != 0;
    const std::uint32_t drum = 0;
    if (round) {
        AppendCylinder(NewPart(model), Resolution(48, detail, 8));
    } else {
        AppendBox(NewPart(model), {-1, 0, -1}, {1, 1, 1}, {1, 1});
    }
    const std::uint32_t block = 1;
    AppendBox(NewPart(model), {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, {0.5f, 0.5f});
    const std::uint32_t roof = 2;
    AppendCone(NewPart(model), Resolution(48, detail, 8));
    const std::uint32_t tiers = 2 + rng.Below(3);
    float y = 0;
    float radius = rng.Uniform(1.0f, 1.4f);
    for (std::uint32_t t = 0; t < tiers; ++t) {
        const float tierHeight = rng.Uniform(0.6f, 1.2f);
        Place(model, drum, ScaleThenMove({radius, tierHeight, radius}, {0, y, 0}), -1);
        y += tierHeight;
        const std::uint32_t merlons = 6 + rng.Below(8);
        const float size = std::min(0.25f, 2.5f * radius / static_cast<float>(merlons));
        for (std::uint32_t m = 0; m < merlons; ++m) {
            const Matrix4 spot =
                ScaleThenMove({size, size * 1.4f, size}, {radius * 0.92f, y + size * 0.7f, 0});
            Place(model, block,
                  Then(spot, MatrixRotationY(kTwoPi * static_cast<float>(m) / static_cast<float>(merlons))),
                  -1);
        }
        radius *= rng.Uniform(0.7f, 0.9f);
    }
    Place(model, roof, ScaleThenMove({radius * 1.3f, rng.Uniform(0.6f, 1.2f), radius * 1.3f}, {0, y, 0}), -1);
}

void MakeLattice(DemoModel& model, DemoRandom& rng, float detail) {
    // Taller than wide, so the fitted lattice stays inside the view as it turns.
    const std::uint32_t nx = 2 + rng.Below(2);
    const std::uint32_t ny = 4 + rng.Below(4);
    const std::uint32_t nz = 2 + rng.Below(2);
    const bool ballNodes = rng.Below(2) == 0;
    const float beam = rng.Uniform(0.06f, 0.12f);
    const float node = rng.Uniform(0.18f, 0.28f);
    const std::uint32_t placement = model.AddEmptyJointMap();
    const auto at = [&](std::uint32_t i, std::uint32_t j, std::uint32_t k) {
        return Vector3{static_cast<float>(i) - static_cast<float>(nx - 1) / 2, static_cast<float>(j),
                       static_cast<float>(k) - static_cast<float>(nz - 1) / 2};
    };
    DemoPart* part = nullptr;
    // Starts a new part whenever the next piece would not fit in 16-bit indices.
    const auto room = [&](std::size_t vertices) -> DemoPart& {
        if (part == nullptr || part->vertices.size() + vertices > kMaxPartVertices) {
            part = &NewPart(model);
            part->placements.push_back(placement);
        }
        return *part;
    };
    const std::uint32_t segments = Resolution(16, detail, 6);
    for (std::uint32_t i = 0; i < nx; ++i) {
        for (std::uint32_t j = 0; j < ny; ++j) {
            for (std::uint32_t k = 0; k < nz; ++k) {
                const Vector3 p = at(i, j, k);
                if (ballNodes) {
                    AppendSphere(room(std::size_t{segments + 1} * (segments / 2 + 1)), p, node, segments);
                } else {
                    AppendBox(room(24), Sub(p, {node, node, node}), Add(p, {node, node, node}));
                }
                if (i + 1 < nx) {
                    AppendBox(room(24), Sub(p, {-node, beam, beam}),
                              Add(at(i + 1, j, k), {-node, beam, beam}));
                }
                if (j + 1 < ny) {
                    AppendBox(room(24), Sub(p, {beam, -node, beam}),
                              Add(at(i, j + 1, k), {beam, -node, beam}));
                }
                if (k + 1 < nz) {
                    AppendBox(room(24), Sub(p, {beam, beam, -node}),
                              Add(at(i, j, k + 1), {beam, beam, -node}));
                }
            }
        }
    }
}

// A person: pelvis, spine, chest, neck and head, arms of shoulder, elbow and hand, legs of hip, knee
// and ankle. Limbs are one shared mesh drawn once per bone, sized by its G1MM matrix.
void MakeFigure(DemoModel& model, DemoRandom& rng, float detail) {
    const std::uint32_t limb = 0;
    AppendSpindle(NewPart(model), Resolution(20, detail, 8));
    const std::uint32_t ball = 1;
    AppendSphere(NewPart(model), {0, 0, 0}, 1, Resolution(20, detail, 8));
    const std::uint32_t block = 2;
    AppendBox(NewPart(model), {-1, -1, -1}, {1, 1, 1}, {1, 1});

    const float legLength = rng.Uniform(0.8f, 1.0f);
    const float torso = rng.Uniform(0.5f, 0.7f);
    const float build = rng.Uniform(0.8f, 1.3f);
    const float armRaise = rng.Uniform(0.2f, 2.2f);
    const float elbowBend = rng.Uniform(0.0f, 1.6f);
    const float stride = rng.Uniform(-0.6f, 0.6f);
    const float kneeBend = rng.Uniform(0.0f, 1.0f);
    const float lean = rng.Uniform(-0.25f, 0.25f);
    const float headScale = rng.Uniform(0.8f, 1.3f);

    Skeleton skeleton(model);
    const auto pelvis = static_cast<std::int32_t>(
        skeleton.Add(-1, {0, legLength + 0.1f, 0}, AxisAngle({0, 1, 0}, rng.Uniform(-0.4f, 0.4f))));
    const auto spine =
        static_cast<std::int32_t>(skeleton.Add(pelvis, {0, 0.1f, 0}, AxisAngle({1, 0, 0}, lean)));
    const auto chest = static_cast<std::int32_t>(skeleton.Add(
        spine, {0, torso * 0.5f, 0}, AxisAngle({0, 1, 0}, rng.Uniform(-0.3f, 0.3f)), {build, 1, 1}));
    const auto neck = static_cast<std::int32_t>(skeleton.Add(chest, {0, torso * 0.5f, 0}, {0, 0, 0, 1}));
    const auto head = static_cast<std::int32_t>(skeleton.Add(neck, {0, 0.12f, 0},
                                                             AxisAngle({0, 0, 1}, rng.Uniform(-0.3f, 0.3f)),
                                                             {headScale, headScale, headScale}));

    Place(model, ball, ScaleThenMove({0.2f * build, 0.16f, 0.14f}, {0, 0, 0}), pelvis);
    Place(model, ball, ScaleThenMove({0.2f, torso * 0.55f, 0.15f}, {0, torso * 0.45f, 0}), spine);
    Place(model, limb, ScaleThenMove({0.06f, 0.14f, 0.06f}, {0, 0.14f, 0}), neck);
    Place(model, ball, ScaleThenMove({0.13f, 0.16f, 0.14f}, {0, 0.14f, 0}), head);
    Place(model, ball, ScaleThenMove({0.03f, 0.03f, 0.03f}, {-0.05f, 0.17f, 0.12f}), head);
    Place(model, ball, ScaleThenMove({0.03f, 0.03f, 0.03f}, {0.05f, 0.17f, 0.12f}), head);
    Place(model, block, ScaleThenMove({0.14f, 0.03f, 0.15f}, {0, 0.3f, 0}), head);

    for (float side : {-1.0f, 1.0f}) {
        const Vector3 armDirection{side * std::sin(armRaise), -std::cos(armRaise), 0.2f};
        const auto shoulder =
            static_cast<std::int32_t>(skeleton.Aim(chest, {side * 0.2f, torso * 0.42f, 0}, armDirection));
        const Vector3 foreDirection = Normalized(Add(armDirection, {0, elbowBend * 0.6f, elbowBend * 0.8f}));
        const auto elbow = static_cast<std::int32_t>(skeleton.Aim(shoulder, {0, -0.3f, 0}, foreDirection));
        const auto hand =
            static_cast<std::int32_t>(skeleton.Aim(elbow, {0, -0.28f, 0}, foreDirection, {1.2f, 1, 0.7f}));
        Place(model, ball, ScaleThenMove({0.07f, 0.07f, 0.07f}, {0, 0, 0}), shoulder);
        Place(model, limb, ScaleThenMove({0.055f, 0.3f, 0.055f}, {0, 0, 0}), shoulder);
        Place(model, limb, ScaleThenMove({0.045f, 0.28f, 0.045f}, {0, 0, 0}), elbow);
        Place(model, ball, ScaleThenMove({0.05f, 0.08f, 0.03f}, {0, -0.06f, 0}), hand);

        const Vector3 thighDirection{side * 0.1f, -std::cos(stride), side * std::sin(stride)};
        const auto hip = static_cast<std::int32_t>(skeleton.Aim(pelvis, {side * 0.1f, 0, 0}, thighDirection));
        const Vector3 shinDirection = Normalized(Add(thighDirection, {0, 0, -kneeBend}));
        const auto knee =
            static_cast<std::int32_t>(skeleton.Aim(hip, {0, -legLength * 0.5f, 0}, shinDirection));
        const auto ankle =
            static_cast<std::int32_t>(skeleton.Aim(knee, {0, -legLength * 0.5f, 0}, {0, -1, 0}));
        Place(model, limb, ScaleThenMove({0.08f, legLength * 0.5f, 0.08f}, {0, 0, 0}), hip);
        Place(model, limb, ScaleThenMove({0.06f, legLength * 0.5f, 0.06f}, {0, 0, 0}), knee);
        Place(model, block, ScaleThenMove({0.05f, 0.03f, 0.11f}, {0, -0.03f, 0.06f}), ankle);
    }
}

// A many-legged creature: a body, a head on a neck, legs of three segments and a tail of many levels.
void MakeCreature(DemoModel& model, DemoRandom& rng, float detail) {
    const std::uint32_t limb = 0;
    AppendSpindle(NewPart(model), Resolution(16, detail, 8));
    const std::uint32_t ball = 1;
    AppendSphere(NewPart(model), {0, 0, 0}, 1, Resolution(24, detail, 8));

    const std::uint32_t pairs = 2 + rng.Below(3);
    const float bodyLength = rng.Uniform(0.8f, 1.6f);
    const float legLength = rng.Uniform(0.5f, 1.0f);
    const float spread = rng.Uniform(0.2f, 0.8f);
    const std::uint32_t tailSegments = 3 + rng.Below(6);
    const float curl = rng.Uniform(-0.5f, 0.5f);

    Skeleton skeleton(model);
    const auto body = static_cast<std::int32_t>(skeleton.Add(-1, {0, legLength * 0.8f, 0}, {0, 0, 0, 1}));
    Place(model, ball, MatrixScaling(bodyLength * 0.55f, 0.3f, 0.35f), body);
    const auto neck =
        static_cast<std::int32_t>(skeleton.Aim(body, {bodyLength * 0.5f, 0.05f, 0}, {1, 0.6f, 0}));
    Place(model, limb, MatrixScaling(0.1f, 0.35f, 0.1f), neck);
    const auto head =
        static_cast<std::int32_t>(skeleton.Add(neck, {0, -0.4f, 0}, {0, 0, 0, 1}, {1.2f, 1.2f, 1.2f}));
    Place(model, ball, MatrixScaling(0.2f, 0.16f, 0.15f), head);

    for (std::uint32_t pair = 0; pair < pairs; ++pair) {
        const float along =
            Lerp(-0.4f, 0.4f, pairs == 1 ? 0.5f : static_cast<float>(pair) / static_cast<float>(pairs - 1));
        for (float side : {-1.0f, 1.0f}) {
            const Vector3 out = Normalized({along * spread, 0.6f, side});
            const auto coxa =
                static_cast<std::int32_t>(skeleton.Aim(body, {along * bodyLength, 0, side * 0.25f}, out));
            const auto femur = static_cast<std::int32_t>(
                skeleton.Aim(coxa, {0, -legLength * 0.45f, 0}, Normalized({along * 0.3f, -1, side * 0.5f})));
            const auto foot = static_cast<std::int32_t>(
                skeleton.Aim(femur, {0, -legLength, 0}, {0, -1, 0}, {0.7f, 0.7f, 0.7f}));
            Place(model, limb, MatrixScaling(0.06f, legLength * 0.45f, 0.06f), coxa);
            Place(model, limb, MatrixScaling(0.05f, legLength, 0.05f), femur);
            Place(model, ball, MatrixScaling(0.07f, 0.05f, 0.07f), foot);
        }
    }
    auto parent = body;
    Vector3 position{-bodyLength * 0.5f, 0.05f, 0};
    Vector3 direction{-1, 0.3f, 0};
    for (std::uint32_t s = 0; s < tailSegments; ++s) {
        direction = Normalized(Add(direction, {-0.1f, curl, 0.15f}));
        const auto segment =
            static_cast<std::int32_t>(skeleton.Aim(parent, position, direction, {0.88f, 0.88f, 0.88f}));
        Place(model, limb, MatrixScaling(0.08f, 0.3f, 0.08f), segment);
        parent = segment;
        position = {0, -0.28f, 0};
    }
}

// A tree: a trunk and branches of several levels, each a bone at its parent's tip, turned and scaled
// down, all drawing the same tapered mesh; leaf balls on the outermost branches.
void MakeTree(DemoModel& model, DemoRandom& rng, float detail) {
    const std::uint32_t branch = 0;
    AppendFrustum(NewPart(model), Resolution(16, detail, 6), 0.7f);
    const std::uint32_t leaf = 1;
    AppendSphere(NewPart(model), {0, 0, 0}, 1, Resolution(14, detail, 6));

    const std::uint32_t levels = 3 + rng.Below(3);
    const float trunkLength = rng.Uniform(1.0f, 1.6f);
    const float trunkRadius = rng.Uniform(0.14f, 0.24f);
    const float spreadAngle = rng.Uniform(0.35f, 0.8f);
    const float shrink = rng.Uniform(0.62f, 0.78f);
    const float leafSize = rng.Uniform(0.4f, 0.7f);
    const Matrix4 branchShape = MatrixScaling(trunkRadius, trunkLength, trunkRadius);
    const std::uint32_t branchShapeIndex = model.AddMatrix(branchShape);

    Skeleton skeleton(model);
    struct Pending {
        std::int32_t parent;
        Vector3 direction;
        std::uint32_t level;
    };
    const auto root = static_cast<std::int32_t>(skeleton.Aim(-1, {0, 0, 0}, {0, 1, 0}));
    model.parts[branch].placements.push_back(model.AddJointMap(branchShapeIndex, root));
    std::vector<Pending> pending{{root, {0, 1, 0}, 1}};
    for (std::size_t next = 0; next < pending.size(); ++next) {
        const Pending current = pending[next];
        if (current.level >= levels) {
            Place(model, leaf, ScaleThenMove({leafSize, leafSize * 0.8f, leafSize}, {0, -trunkLength, 0}),
                  current.parent);
            continue;
        }
        const std::uint32_t children = 2 + rng.Below(2);
        const float turn = rng.Uniform(0, kTwoPi);
        for (std::uint32_t c = 0; c < children; ++c) {
            const float azimuth = turn + kTwoPi * static_cast<float>(c) / static_cast<float>(children);
            const Vector3 side =
                Normalized(Cross(current.direction, {std::cos(azimuth), 0.01f, std::sin(azimuth)}));
            const float angle = spreadAngle * rng.Uniform(0.7f, 1.2f);
            Vector3 direction = Add(Scale(current.direction, std::cos(angle)), Scale(side, std::sin(angle)));
            direction = Normalized(Add(direction, {0, 0.15f, 0}));
            const auto bone = static_cast<std::int32_t>(
                skeleton.Aim(current.parent, {0, -trunkLength, 0}, direction, {shrink, shrink, shrink}));
            model.parts[branch].placements.push_back(model.AddJointMap(branchShapeIndex, bone));
            pending.push_back({bone, direction, current.level + 1});
        }
    }
}

} // namespace

const char* DemoShapeKindName(std::uint32_t row) {
    return kShapeKindNames[static_cast<std::uint32_t>(KindOfRow(row))];
}

DemoModel MakeDemoShape(std::uint32_t row, float detail) {
    DemoModel model;
    DemoRandom rng(0x5EED0000ull + std::uint64_t{row} * 0x2545F491ull);
    switch (KindOfRow(row)) {
    case ShapeKind::Vase:
        MakeVase(model, rng, detail);
        break;
    case ShapeKind::Knot:
        MakeKnot(model, rng, detail, row);
        break;
    case ShapeKind::Figure:
        MakeFigure(model, rng, detail);
        break;
    case ShapeKind::Terrain:
        MakeTerrain(model, rng, detail, row);
        break;
    case ShapeKind::Tree:
        MakeTree(model, rng, detail);
        break;
    case ShapeKind::Bottle:
        MakeBottle(model, rng, detail);
        break;
    case ShapeKind::Tower:
        MakeTower(model, rng, detail);
        break;
    case ShapeKind::Lattice:
        MakeLattice(model, rng, detail);
        break;
    case ShapeKind::Goblet:
        MakeGoblet(model, rng, detail);
        break;
    case ShapeKind::Chain:
        MakeChain(model, rng, detail, row);
        break;
    case ShapeKind::Creature:
        MakeCreature(model, rng, detail);
        break;
    case ShapeKind::GearOrSpring:
        MakeGearOrSpring(model, rng, detail, row);
        break;
    case ShapeKind::Blob:
        MakeBlob(model, rng, detail);
        break;
    }
    return model;
}

} // namespace tavro::authoring
