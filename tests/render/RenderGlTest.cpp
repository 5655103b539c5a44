// Frames drawn through headless OpenGL, checked for what a person would see: the fitted square where the
// camera puts it, in its texture's colours, turning, on black.
#include "tests/render/RenderTestData.h"

#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "render/RenderModel.h"
#include "texture/G1TFormat.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace tavro::rendertest {
namespace {

constexpr std::uint32_t kWidth = 320;
constexpr std::uint32_t kHeight = 240;

// The square spans x and y in [-3, 3] at z = 0, 5 units in front of the camera: on a 4:3 client area
// it covers x in 160 +- 72 and y in 120 +- 72 pixels. The camera looks along -z, so the model's +x is
// on the left of the picture.
struct ScreenPoint {
    std::uint32_t x, y;
};
constexpr ScreenPoint kUpperLeft{124, 84}, kUpperRight{196, 84}, kLowerLeft{124, 156}, kLowerRight{196, 156};
constexpr ScreenPoint kOutside[] = {{4, 4}, {315, 235}, {80, 120}, {240, 120}, {160, 40}, {160, 200}};

class RenderGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        RenderHost host{[this] { return tick; }, [] { return ClientSize{kWidth, kHeight}; }};
        ASSERT_TRUE(InitDevice(state, factory, static_cast<gpu::opengl::IGLContext*>(&context), host))
            << "no OpenGL 4.5 device on EGL: the gl tests need Mesa's EGL and llvmpipe";
    }

    void Load(std::uint8_t textureFormat) {
        state.currentModel = std::make_unique<CRenderModel>(state);
        ASSERT_TRUE(CreateModel(*state.currentModel, MakeQuadG1M(), MakeQuadrantG1T(textureFormat)));
    }

    const gpu::PresentedImage& Frame(std::uint32_t elapsedMs) {
        tick = state.currentModel->GetStartTick() + elapsedMs;
        RenderCurrentModel(state);
        EXPECT_EQ(state.swapChain->ReadPresentedImage(&image), kS_OK);
        EXPECT_EQ(image.width, kWidth);
        EXPECT_EQ(image.height, kHeight);
        return image;
    }

    void ExpectColour(ScreenPoint point, const std::uint8_t (&rgba)[4]) const {
        const std::uint8_t* pixel = &image.rgba[(std::size_t{point.y} * image.width + point.x) * 4];
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(pixel[channel], rgba[channel], 8)
                << "at (" << point.x << ", " << point.y << ") channel " << channel;
    }

    std::uint32_t tick = 1000;
    gpu::opengl::EglHeadlessContext context; // outlives every object made on it
    gpu::opengl::OpenGLFactory factory;
    RendererState state;
    gpu::PresentedImage image;
};

constexpr std::uint8_t kBlack[4] = {0, 0, 0, 255};

TEST_F(RenderGlTest, DrawsTheFittedSquareInItsTextureColoursOnBlackForEachFormat) {
    for (std::uint8_t format :
         {g1t::kFormatRGBA8, g1t::kFormatBGRA8, g1t::kFormatDXT1, g1t::kFormatDXT3, g1t::kFormatDXT5}) {
        SCOPED_TRACE(testing::Message() << "G1T format " << int{format});
        Load(format);
        Frame(0);
        // Mirrored left to right, as the camera sees the square from its front.
        ExpectColour(kUpperLeft, kTopRight);
        ExpectColour(kUpperRight, kTopLeft);
        ExpectColour(kLowerLeft, kBottomRight);
        ExpectColour(kLowerRight, kBottomLeft);
        for (ScreenPoint point : kOutside)
            ExpectColour(point, kBlack);
    }
}

TEST_F(RenderGlTest, TurnsEdgeOnAfterOneSecondAndShowsItsBackAfterTwo) {
    Load(g1t::kFormatRGBA8);
    Frame(1000);
    for (ScreenPoint point : {kUpperLeft, kUpperRight, kLowerLeft, kLowerRight})
        ExpectColour(point, kBlack);
    Frame(2000);
    ExpectColour(kUpperLeft, kTopLeft);
    ExpectColour(kUpperRight, kTopRight);
    ExpectColour(kLowerLeft, kBottomLeft);
    ExpectColour(kLowerRight, kBottomRight);
}

} // namespace
} // namespace tavro::rendertest
