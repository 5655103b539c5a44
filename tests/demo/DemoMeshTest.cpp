#include "authoring/demo/DemoMesh.h"
#include "tests/demo/StripVolume.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

namespace tavro::authoring {
namespace {

constexpr double kPi = std::numbers::pi;

double PartVolume(const DemoPart& part) {
    return demotest::StripVolume(part.strips, [&](std::uint16_t index) {
        const float* p = part.vertices.at(index).position;
        return Vector3{p[0], p[1], p[2]};
    });
}

TEST(DemoMesh, ClosedPrimitivesFaceOutAndEncloseTheirVolume) {
    struct Case {
        const char* name;
        void (*append)(DemoPart&);
        double volume;
        double tolerance; // relative: the meshes are faceted
    };
    const Case cases[] = {
        {"box 1 x 2 x 3",
         [](DemoPart& p) {
             AppendBox(p, {-1, 0, 2}, {0, 2, 5});
         },
         6.0, 1e-6},
        {"sphere of radius 2",
         [](DemoPart& p) {
             AppendSphere(p, {1, 2, 3}, 2, 48);
         },
         4.0 / 3 * kPi * 8, 0.02},
        {"cylinder of radius 1.5, height 2",
         [](DemoPart& p) {
             AppendRevolution(p, 64, 3, [](float t) {
                 return t < 1 / 3.0f   ? std::pair{4.5f * t, 0.0f}
                        : t < 2 / 3.0f ? std::pair{1.5f, 6 * (t - 1 / 3.0f)}
                                       : std::pair{1.5f * 3 * (1 - t), 2.0f};
             });
         },
         kPi * 2.25 * 2, 0.01},
        {"torus, ring 1, tube 0.25",
         [](DemoPart& p) {
             AppendTube(p, 96, 24, 0.25f, [](float t) {
                 return Vector3{std::cos(2 * std::numbers::pi_v<float> * t), 0,
                                std::sin(2 * std::numbers::pi_v<float> * t)};
             });
         },
         2 * kPi * kPi * 0.0625, 0.02},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DemoPart part;
        c.append(part);
        EXPECT_NEAR(PartVolume(part), c.volume, c.volume * c.tolerance);
    }
}

TEST(DemoMesh, LargeSurfacesSplitIntoPartsThatStillMeet) {
    // A sphere of 401 x 301 points: too many for one part's 16-bit indices.
    DemoModel model;
    const SurfaceFunction sphere = [](float u, float v) {
        const float theta = 2 * std::numbers::pi_v<float> * u;
        const float phi = std::numbers::pi_v<float> * v;
        return Vector3{std::sin(phi) * std::cos(theta), -std::cos(phi), std::sin(phi) * std::sin(theta)};
    };
    AddSurface(model, 7, 400, 300, sphere);
    ASSERT_GT(model.parts.size(), 1u);
    double volume = 0;
    for (std::size_t k = 0; k < model.parts.size(); ++k) {
        const DemoPart& part = model.parts[k];
        EXPECT_LE(part.vertices.size(), kMaxPartVertices);
        EXPECT_EQ(part.placements, std::vector<std::uint32_t>{7});
        if (k > 0) {
            // The previous band's last row of points is this band's first.
            const auto& before = model.parts[k - 1].vertices;
            EXPECT_EQ(std::memcmp(before[before.size() - 401].position, part.vertices[0].position, 12), 0);
        }
        volume += PartVolume(part);
    }
    EXPECT_NEAR(volume, 4.0 / 3 * kPi, 0.01);
}

} // namespace
} // namespace tavro::authoring
