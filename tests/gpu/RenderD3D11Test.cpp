// The renderer's frames on the Direct3D 11 backend, checked as on OpenGL for what a person would see:
// the fitted square where the camera puts it, in its texture's colours for every G1T format, turning,
// on black. This runs the compiled DXBC shaders and the DDS loader's textures on a real device.
#include "tests/gpu/HiddenWindow.h"
#include "tests/render/RenderTestData.h"

#include "file/MemoryFile.h"
#include "gpu/d3d11/D3D11Factory.h"
#include "render/RenderModel.h"
#include "texture/G1TFormat.h"

#include <gtest/gtest.h>

#include <memory>

namespace tavro::rendertest {
namespace {

constexpr std::uint32_t kWidth = 320;
constexpr std::uint32_t kHeight = 240;

// The square spans x and y in [-3, 3] at z = 0, 5 units in front of the camera: on a 4:3 client area
// it covers x in 160 +- 72 and y in 120 +- 72 pixels, mirrored left to right.
struct ScreenPoint {
    std::uint32_t x, y;
};
constexpr ScreenPoint kUpperLeft{124, 84}, kUpperRight{196, 84}, kLowerLeft{124, 156}, kLowerRight{196, 156};
constexpr ScreenPoint kOutside[] = {{4, 4}, {315, 235}, {80, 120}, {240, 120}, {160, 40}, {160, 200}};
constexpr std::uint8_t kBlack[4] = {0, 0, 0, 255};

class RenderD3D11Test : public ::testing::Test {
protected:
    void SetUp() override {
        RenderHost host{[this] { return tick; }, [this] { return client; }};
        ASSERT_TRUE(InitDevice(state, factory, window.Handle(), host))
            << "no Direct3D 11 device at feature level 10_0 or better";
    }

    void Load(std::uint8_t textureFormat) {
        const std::vector<std::uint8_t> g1m = MakeQuadG1M();
        const std::vector<std::uint8_t> g1t = MakeQuadrantG1T(textureFormat);
        CReadOnlyMemoryFile modelFile(g1m.data(), static_cast<std::uint32_t>(g1m.size()), false);
        CReadOnlyMemoryFile textureFile(g1t.data(), static_cast<std::uint32_t>(g1t.size()), false);
        state.currentModel = std::make_unique<CRenderModel>(state);
        ASSERT_TRUE(state.currentModel->Create(modelFile, textureFile));
    }

    void Frame(std::uint32_t elapsedMs) {
        tick = state.currentModel->GetStartTick() + elapsedMs;
        RenderCurrentModel(state);
        ASSERT_EQ(state.swapChain->ReadPresentedImage(&image), kS_OK);
        ASSERT_EQ(image.width, client.width);
        ASSERT_EQ(image.height, client.height);
    }

    void ExpectColour(ScreenPoint point, const std::uint8_t (&rgba)[4]) const {
        const std::uint8_t* pixel = &image.rgba[(std::size_t{point.y} * image.width + point.x) * 4];
        for (int channel = 0; channel < 3; ++channel) {
            EXPECT_NEAR(pixel[channel], rgba[channel], 8)
                << "at (" << point.x << ", " << point.y << ") channel " << channel;
        }
    }

    std::uint32_t tick = 1000;
    ClientSize client{kWidth, kHeight};
    gpu::d3d11::HiddenWindow window; // outlives the swap chain presenting to it
    gpu::d3d11::D3D11Factory factory;
    RendererState state;
    gpu::PresentedImage image;
};

TEST_F(RenderD3D11Test, DrawsTheFittedSquareInItsTextureColoursOnBlackForEachFormat) {
    for (std::uint8_t format :
         {g1t::kFormatRGBA8, g1t::kFormatBGRA8, g1t::kFormatDXT1, g1t::kFormatDXT3, g1t::kFormatDXT5}) {
        SCOPED_TRACE(testing::Message() << "G1T format " << int{format});
        Load(format);
        Frame(0);
        ExpectColour(kUpperLeft, kTopRight);
        ExpectColour(kUpperRight, kTopLeft);
        ExpectColour(kLowerLeft, kBottomRight);
        ExpectColour(kLowerRight, kBottomLeft);
        for (ScreenPoint point : kOutside) {
            ExpectColour(point, kBlack);
        }
    }
}

TEST_F(RenderD3D11Test, TurnsEdgeOnAfterOneSecondAndShowsItsBackAfterTwo) {
    Load(g1t::kFormatRGBA8);
    Frame(1000);
    for (ScreenPoint point : {kUpperLeft, kUpperRight, kLowerLeft, kLowerRight}) {
        ExpectColour(point, kBlack);
    }
    Frame(2000);
    ExpectColour(kUpperLeft, kTopLeft);
    ExpectColour(kUpperRight, kTopRight);
    ExpectColour(kLowerLeft, kBottomLeft);
    ExpectColour(kLowerRight, kBottomRight);
}

TEST_F(RenderD3D11Test, ResizedTargetsKeepTheSquareSquareAndTheOtherLooksDraw) {
    Load(g1t::kFormatRGBA8);
    client = ClientSize{2 * kWidth, kHeight};
    ASSERT_TRUE(ResizeRenderTargets(state, client));
    Frame(0);
    // Twice as wide, the same height: the square keeps its 144 pixels each way around the new middle.
    ExpectColour({kUpperLeft.x + kWidth / 2, kUpperLeft.y}, kTopRight);
    ExpectColour({kLowerRight.x + kWidth / 2, kLowerRight.y}, kBottomLeft);
    ExpectColour({kWidth / 2 - 20, kHeight / 2}, kBlack);
    ExpectColour({kWidth + kWidth / 2 + 20, kHeight / 2}, kBlack);

    state.view.lit = true;
    Frame(0);
    ExpectColour({4, 4}, kBlack);
    const std::uint8_t* lit =
        &image.rgba[(std::size_t{kUpperLeft.y} * image.width + kUpperLeft.x + kWidth / 2) * 4];
    EXPECT_GT(lit[0] + lit[1] + lit[2], 0) << "the lit shaders draw the square";

    state.view.lit = false;
    state.view.wireframe = true;
    Frame(0);
    ExpectColour({kUpperLeft.x + kWidth / 2 + 8, kUpperLeft.y + 30}, kBlack); // inside a triangle: unfilled
}

} // namespace
} // namespace tavro::rendertest
