// The renderer's frames on the Direct3D 11 backend, checked as on OpenGL for what a person would see:
// the fitted square where the camera puts it, in its texture's colours for every G1T format, turning,
// on black. This runs the compiled DXBC shaders and the DDS loader's textures on a real device.
#include "tests/gpu/HiddenWindow.h"
#include "tests/render/SquareFrame.h"

#include "gpu/d3d11/D3D11Factory.h"
#include "render/RenderModel.h"
#include "texture/G1TFormat.h"

#include <gtest/gtest.h>

#include <memory>

namespace tavro::rendertest {
namespace {

class RenderD3D11Test : public ::testing::Test {
protected:
    void SetUp() override {
        RenderHost host{[this] { return tick; }, [this] { return client; }};
        ASSERT_TRUE(InitDevice(state, factory, window.Handle(), host))
            << "no Direct3D 11 device at feature level 10_0 or better";
    }

    void Load(std::uint8_t textureFormat) {
        state.currentModel = std::make_unique<CRenderModel>(state);
        ASSERT_TRUE(CreateModel(*state.currentModel, MakeQuadG1M(), MakeQuadrantG1T(textureFormat)));
    }

    void Frame(std::uint32_t elapsedMs) {
        tick = state.currentModel->GetStartTick() + elapsedMs;
        RenderCurrentModel(state);
        ASSERT_EQ(state.swapChain->ReadPresentedImage(&image), kS_OK);
        ASSERT_EQ(image.width, client.width);
        ASSERT_EQ(image.height, client.height);
    }

    std::uint32_t tick = 1000;
    ClientSize client{kFrameWidth, kFrameHeight};
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
        ExpectSquareFromTheFront(image);
    }
}

TEST_F(RenderD3D11Test, TurnsEdgeOnAfterOneSecondAndShowsItsBackAfterTwo) {
    Load(g1t::kFormatRGBA8);
    Frame(1000);
    ExpectSquareEdgeOn(image);
    Frame(2000);
    ExpectSquareFromTheBack(image);
}

TEST_F(RenderD3D11Test, ResizedTargetsKeepTheSquareSquareAndTheOtherLooksDraw) {
    Load(g1t::kFormatRGBA8);
    client = ClientSize{2 * kFrameWidth, kFrameHeight};
    ASSERT_TRUE(ResizeRenderTargets(state, client));
    Frame(0);
    // Twice as wide, the same height: the square keeps its 144 pixels each way around the new middle.
    ExpectColour(image, {kUpperLeft.x + kFrameWidth / 2, kUpperLeft.y}, kTopRight);
    ExpectColour(image, {kLowerRight.x + kFrameWidth / 2, kLowerRight.y}, kBottomLeft);
    ExpectColour(image, {kFrameWidth / 2 - 20, kFrameHeight / 2}, kBlack);
    ExpectColour(image, {kFrameWidth + kFrameWidth / 2 + 20, kFrameHeight / 2}, kBlack);

    state.view.lit = true;
    Frame(0);
    ExpectColour(image, {4, 4}, kBlack);
    const std::uint8_t* lit =
        &image.rgba[(std::size_t{kUpperLeft.y} * image.width + kUpperLeft.x + kFrameWidth / 2) * 4];
    EXPECT_GT(lit[0] + lit[1] + lit[2], 0) << "the lit shaders draw the square";

    state.view.lit = false;
    state.view.wireframe = true;
    Frame(0);
    ExpectColour(image, {kUpperLeft.x + kFrameWidth / 2 + 8, kUpperLeft.y + 30},
                 kBlack); // inside a triangle: unfilled
}

} // namespace
} // namespace tavro::rendertest
