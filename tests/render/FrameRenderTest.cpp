// CRenderModel::Render and the camera through the recording backend: the calls of a frame, the matrices
// each constant-buffer update carries, the turn over time, and the fallbacks for an empty client area
// and a flat or broken bounding box.
#include "tests/render/RenderTestData.h"

#include "render/Camera.h"
#include "render/RenderModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace tavro::rendertest {
namespace {

using namespace gpu::recording;

struct Matrices {
    Matrix4 world, view, projection; // the row-vector matrices, transposed back from the buffer
};

void ExpectRows(const Matrix4& actual, const std::vector<float>& expected, float tolerance) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i], expected[i], tolerance) << "element (" << i / 4 << ", " << i % 4 << ")";
}

class FrameRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(renderer.Init());
        // Built 500 ms before the tick counter wraps, so every frame measures its time across the wrap.
        renderer.tick = 0xFFFFFE0Cu;
        ASSERT_TRUE(renderer.LoadModel(MakeQuadG1M(2), MakeQuadrantG1T(0)));
    }
    // Renders one frame elapsedMs after the build and returns the matrices of each update.
    std::vector<Matrices> Frame(std::uint32_t elapsedMs) {
        renderer.recorder.ClearCalls();
        renderer.tick = 0xFFFFFE0Cu + elapsedMs;
        RenderCurrentModel(*renderer.state);
        std::vector<Matrices> draws;
        for (const UpdateSubresourceArgs* update : renderer.recorder.CallsOf<UpdateSubresourceArgs>()) {
            Matrix4 transposed[3];
            EXPECT_EQ(update->bytes.size(), sizeof(transposed));
            std::memcpy(transposed, update->bytes.data(), sizeof(transposed));
            draws.push_back({MatrixTranspose(transposed[0]), MatrixTranspose(transposed[1]),
                             MatrixTranspose(transposed[2])});
        }
        return draws;
    }

    RecordingRenderer renderer;
};

TEST_F(FrameRenderTest, ClearsThenUpdatesAndDrawsEachItemThenPresentsWithoutRebinding) {
    renderer.clientSize = {640, 480};
    const std::vector<Matrices> draws = Frame(0);
    EXPECT_EQ(renderer.recorder.Text(),
              "#1 ClearRenderTargetView(view=#5 color=[0,0,0,1])\n"
              "#1 ClearDepthStencilView(view=#7 flags=0x1 depth=1 stencil=0)\n"
              "#1 VSSetConstantBuffers(startSlot=0 buffers=[#16])\n"
              "#1 UpdateSubresource(resource=#16 subresource=0 bytes=192 rowPitch=0 depthPitch=0)\n"
              "#1 DrawIndexed(indexCount=9 startIndex=0 baseVertex=0)\n"
              "#1 UpdateSubresource(resource=#16 subresource=0 bytes=192 rowPitch=0 depthPitch=0)\n"
              "#1 DrawIndexed(indexCount=9 startIndex=0 baseVertex=0)\n"
              "#4 Present(syncInterval=0 flags=0x0)\n");
    ASSERT_EQ(draws.size(), 2u);
    // The box (-1, 0, 0)..(1, 2, 0) has extent 2: scaled by 3 after moving its centre y = 1 to 0.
    ExpectRows(draws[0].world, {3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 0, -3, 0, 1}, 0);
    // The second submesh's bone moves it by (1, 2, 3) before the fit: (1, 2 - 1, 3) * 3.
    ExpectRows(draws[1].world, {3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 3, 3, 9, 1}, 0);
    ExpectRows(draws[0].view, {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 5, 1}, 0);
    const float r = 100.0f / 99.99f;
    ExpectRows(draws[0].projection, {0.75f, 0, 0, 0, 0, 1, 0, 0, 0, 0, r, 1, 0, 0, -0.01f * r, 0}, 1e-6f);
}

TEST_F(FrameRenderTest, TurnsAQuarterTurnPerSecond) {
    struct Case {
        std::uint32_t elapsedMs;
        float cosine, sine;
    };
    const float halfRoot = std::sqrt(0.5f);
    for (const Case& c : {Case{0, 1, 0}, Case{500, halfRoot, halfRoot}, Case{1000, 0, 1}, Case{2000, -1, 0},
                          Case{4000, 1, 0}}) {
        SCOPED_TRACE(c.elapsedMs);
        // World = fit * RotationY: rows (3c, 0, -3s, 0), (0, 3, 0, 0), (3s, 0, 3c, 0), (0, -3, 0, 1).
        const float c3 = 3 * c.cosine, s3 = 3 * c.sine;
        ExpectRows(Frame(c.elapsedMs).at(0).world, {c3, 0, -s3, 0, 0, 3, 0, 0, s3, 0, c3, 0, 0, -3, 0, 1},
                   2e-6f);
    }
}

TEST_F(FrameRenderTest, FollowsTheClientShapeEveryFrameAndSkipsAnEmptyClientArea) {
    renderer.clientSize = {1000, 500};
    EXPECT_FLOAT_EQ(Frame(0).at(0).projection.m[0], 0.5f);
    renderer.clientSize = {500, 1000};
    EXPECT_FLOAT_EQ(Frame(0).at(0).projection.m[0], 2.0f);
    // A minimised window: no finite projection exists, so nothing is cleared, drawn or presented.
    for (const ClientSize size : {ClientSize{1280, 0}, ClientSize{0, 960}}) {
        renderer.clientSize = size;
        Frame(0);
        EXPECT_TRUE(renderer.recorder.Calls().empty());
    }
    // Without a current model there is no frame at all.
    renderer.state->currentModel.reset();
    renderer.clientSize = {1280, 960};
    Frame(0);
    EXPECT_TRUE(renderer.recorder.Calls().empty());
}

TEST(FitMatrix, ScalesTheLargestSideToSixCentresYAndNeverLeavesTheFiniteRange) {
    struct Case {
        std::array<float, 3> min, max;
        float scale, translateY; // N's diagonal and N(3, 1)
    };
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {{-1, 0, -1}, {1, 2, 1}, 3, -3},        // corners go to (+-3, +-3, +-3)
        {{0, 0, 0}, {1, 12, 1}, 0.5f, -3},      // taller than wide and deep: scaled by the height
        {{0, 10, 0}, {1, 14, 1}, 1.5f, -18},    // moved down by 12 before scaling
        {{0, 0, 0}, {1, 1, 8}, 0.75f, -0.375f}, // the deepest side wins
        // What would make the scale infinite, zero or NaN is fitted as a box 1 unit wide.
        {{2, 2, 2}, {2, 2, 2}, 6, -12},       // zero extent
        {{0, 0, 0}, {1e-44f, 0, 0}, 6, 0},    // so small that 6 / extent overflows
        {{1, 1, 1}, {0, 0, 0}, 6, -3},        // inverted box
        {{-kInf, 0, 0}, {kInf, 1, 1}, 6, -3}, // infinite extent
        {{kNaN, kNaN, 0}, {1, 1, 1}, 6, 0},   // NaN bounds: the centre is taken as 0 too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min[0] << " " << c.min[1] << " " << c.max[0] << " " << c.max[1]);
        ExpectRows(FitMatrix(c.min, c.max),
                   {c.scale, 0, 0, 0, 0, c.scale, 0, 0, 0, 0, c.scale, 0, 0, c.translateY, 0, 1}, 1e-6f);
    }
}

} // namespace
} // namespace tavro::rendertest
