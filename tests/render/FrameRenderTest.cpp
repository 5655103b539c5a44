// CRenderModel::Render and the camera through the recording backend: the calls of a frame, the bytes
// of each constant-buffer update, the turn over time, and the fallbacks for empty client areas and
// flat bounding boxes.
#include "tests/render/RenderTestData.h"

#include "render/Camera.h"
#include "render/RenderModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace tavro::rendertest {
namespace {

using namespace gpu;
using namespace gpu::recording;

struct Matrices {
    Matrix4 world, view, projection; // as the row-vector matrices, transposed back from the buffer
};

Matrices Unpack(const std::vector<std::uint8_t>& bytes) {
    EXPECT_EQ(bytes.size(), 192u);
    Matrix4 transposed[3];
    std::memcpy(transposed, bytes.data(), sizeof(transposed));
    return {MatrixTranspose(transposed[0]), MatrixTranspose(transposed[1]), MatrixTranspose(transposed[2])};
}

void ExpectRows(const Matrix4& actual, const std::vector<float>& expected, float tolerance) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual.m[i], expected[i], tolerance) << "element (" << i / 4 << ", " << i % 4 << ")";
    }
}

class FrameRenderTest : public ::testing::Test {
protected:
    void Load(const std::vector<std::uint8_t>& g1m) {
        ASSERT_TRUE(renderer.Init());
        renderTarget = renderer.recorder.CallsOf<CreateRenderTargetViewArgs>().at(0)->view;
        depthStencil = renderer.recorder.CallsOf<CreateDepthStencilViewArgs>().at(0)->view;
        ASSERT_TRUE(renderer.LoadModel(g1m, MakeQuadrantG1T(0)));
        constantBuffer = renderer.recorder.CallsOf<CreateBufferArgs>().at(2)->buffer;
        renderer.recorder.ClearCalls();
    }
    // Renders one frame at elapsedMs after the build and returns the matrices of each draw.
    std::vector<Matrices> Frame(std::uint32_t elapsedMs) {
        renderer.recorder.ClearCalls();
        renderer.tick = renderer.state->currentModel->GetStartTick() + elapsedMs;
        RenderCurrentModel(*renderer.state);
        std::vector<Matrices> draws;
        for (const UpdateSubresourceArgs* update : renderer.recorder.CallsOf<UpdateSubresourceArgs>()) {
            draws.push_back(Unpack(update->bytes));
        }
        return draws;
    }

    RecordingRenderer renderer;
    ObjectId renderTarget = 0, depthStencil = 0, constantBuffer = 0;
};

TEST_F(FrameRenderTest, ClearsThenUpdatesAndDrawsEachItemThenPresents) {
    Load(MakeQuadG1M(2));
    Frame(0);
    const Recorder& log = renderer.recorder;
    const std::vector<std::string_view> expected = {
        "ClearRenderTargetView", "ClearDepthStencilView", "VSSetConstantBuffers", "UpdateSubresource",
        "DrawIndexed",           "UpdateSubresource",     "DrawIndexed",          "Present"};
    EXPECT_EQ(log.Names(true), expected);

    const ClearRenderTargetViewArgs* clear = log.CallsOf<ClearRenderTargetViewArgs>().at(0);
    EXPECT_EQ(clear->view, renderTarget);
    EXPECT_EQ(clear->color, (std::array<float, 4>{0, 0, 0, 1}));
    const ClearDepthStencilViewArgs* clearDepth = log.CallsOf<ClearDepthStencilViewArgs>().at(0);
    EXPECT_EQ(clearDepth->view, depthStencil);
    EXPECT_EQ(clearDepth->clearFlags, kClearDepth);
    EXPECT_EQ(clearDepth->depth, 1.0f);
    EXPECT_EQ(clearDepth->stencil, 0);

    EXPECT_EQ(log.CallsOf<VSSetConstantBuffersArgs>().at(0)->buffers, std::vector{constantBuffer});
    EXPECT_EQ(log.CallsOf<VSSetConstantBuffersArgs>().at(0)->startSlot, 0u);
    for (const UpdateSubresourceArgs* update : log.CallsOf<UpdateSubresourceArgs>()) {
        EXPECT_EQ(update->resource, constantBuffer);
        EXPECT_EQ(update->subresource, 0u);
        EXPECT_FALSE(update->hasBox);
        EXPECT_EQ(update->srcRowPitch, 0u);
    }
    for (const DrawIndexedArgs* draw : log.CallsOf<DrawIndexedArgs>()) {
        EXPECT_EQ(draw->indexCount, 9u);
        EXPECT_EQ(draw->startIndex, 0u);
        EXPECT_EQ(draw->baseVertex, 0);
    }
    EXPECT_EQ(log.CallsOf<PresentArgs>().at(0)->syncInterval, 0u);
    EXPECT_EQ(log.CallsOf<PresentArgs>().at(0)->flags, 0u);
}

TEST_F(FrameRenderTest, WritesTheTransposedWorldViewAndProjection) {
    Load(MakeQuadG1M(2));
    renderer.clientSize = {640, 480};
    const std::vector<Matrices> draws = Frame(0);
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
    Load(MakeQuadG1M());
    struct Case {
        std::uint32_t elapsedMs;
        float cosine, sine;
    };
    const float halfRoot = std::sqrt(0.5f);
    for (const Case& c : {Case{0, 1, 0}, Case{500, halfRoot, halfRoot}, Case{1000, 0, 1}, Case{2000, -1, 0},
                          Case{4000, 1, 0}}) {
        SCOPED_TRACE(c.elapsedMs);
        const std::vector<Matrices> draws = Frame(c.elapsedMs);
        ASSERT_EQ(draws.size(), 1u);
        // World = fit * RotationY: rows (3c, 0, -3s, 0), (0, 3, 0, 0), (3s, 0, 3c, 0), (0, -3, 0, 1).
        const float c3 = 3 * c.cosine, s3 = 3 * c.sine;
        ExpectRows(draws[0].world, {c3, 0, -s3, 0, 0, 3, 0, 0, s3, 0, c3, 0, 0, -3, 0, 1}, 2e-6f);
    }
}

TEST_F(FrameRenderTest, MeasuresTheTurnAcrossATickCounterWrap) {
    Load(MakeQuadG1M());
    renderer.state->currentModel.reset();
    renderer.tick = 0xFFFFFE0Cu; // 500 ms before the counter wraps
    ASSERT_TRUE(renderer.LoadModel(MakeQuadG1M(), MakeQuadrantG1T(0)));
    const std::vector<Matrices> draws = Frame(1000); // the tick has wrapped to 500
    ASSERT_EQ(draws.size(), 1u);
    ExpectRows(draws[0].world, {0, 0, -3, 0, 0, 3, 0, 0, 3, 0, 0, 0, 0, -3, 0, 1}, 2e-6f);
}

TEST_F(FrameRenderTest, FollowsTheClientAspectEveryFrameAndSkipsAnEmptyClientArea) {
    Load(MakeQuadG1M());
    renderer.clientSize = {1000, 500};
    EXPECT_FLOAT_EQ(Frame(0).at(0).projection.m[0], 0.5f);
    renderer.clientSize = {500, 1000};
    EXPECT_FLOAT_EQ(Frame(0).at(0).projection.m[0], 2.0f);
    // A minimised window: no matrix can be made, so the frame is skipped whole.
    for (const ClientSize size : {ClientSize{1280, 0}, ClientSize{0, 960}, ClientSize{0, 0}}) {
        renderer.clientSize = size;
        EXPECT_TRUE(Frame(0).empty());
        EXPECT_TRUE(renderer.recorder.Calls().empty());
    }
}

TEST_F(FrameRenderTest, DrawsNothingAndPresentsNothingWithoutAModel) {
    ASSERT_TRUE(renderer.Init());
    renderer.recorder.ClearCalls();
    RenderCurrentModel(*renderer.state);
    EXPECT_TRUE(renderer.recorder.Calls().empty());
}

TEST_F(FrameRenderTest, AFlatModelIsFittedAsOneUnitWide) {
    Load(MakePointG1M());
    const std::vector<Matrices> draws = Frame(0);
    ASSERT_EQ(draws.size(), 1u);
    // All points at (0.5, 0.5, 0.5): centred by -0.5 in y, then scaled by 6 / 1.
    ExpectRows(draws[0].world, {6, 0, 0, 0, 0, 6, 0, 0, 0, 0, 6, 0, 0, -3, 0, 1}, 0);
}

TEST(FitMatrix, ScalesTheLargestSideToSixAndCentresY) {
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
        {{0, 0, 0}, {1, 1, 8}, 0.75f, -0.375f}, // deepest side wins
        {{2, 2, 2}, {2, 2, 2}, 6, -12},         // zero extent: 1 unit wide
        {{0, 0, 0}, {1e-44f, 0, 0}, 6, 0},      // so small that 6 / extent overflows
        {{1, 1, 1}, {0, 0, 0}, 6, -3},          // inverted box
        {{-kInf, 0, 0}, {kInf, 1, 1}, 6, -3},   // infinite extent
        {{kNaN, kNaN, 0}, {1, 1, 1}, 6, 0},     // NaN bounds: the centre is taken as 0 too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min[0] << " " << c.min[1] << " " << c.max[0] << " " << c.max[1]);
        const Matrix4 fit = FitMatrix(c.min, c.max);
        ExpectRows(fit, {c.scale, 0, 0, 0, 0, c.scale, 0, 0, 0, 0, c.scale, 0, 0, c.translateY, 0, 1}, 1e-6f);
    }
}

} // namespace
} // namespace tavro::rendertest
