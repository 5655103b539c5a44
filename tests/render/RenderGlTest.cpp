// Frames drawn through headless OpenGL, checked for what a person would see: the fitted square where the
// camera puts it, in its texture's colours, turning, on black.
#include "tests/render/SquareFrame.h"

#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "render/RenderModel.h"
#include "texture/G1TFormat.h"

#include <gtest/gtest.h>

#include <memory>

namespace tavro::rendertest {
namespace {

class RenderGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        RenderHost host{[this] { return tick; }, [] { return ClientSize{kFrameWidth, kFrameHeight}; }};
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
        EXPECT_EQ(image.width, kFrameWidth);
        EXPECT_EQ(image.height, kFrameHeight);
        return image;
    }

    std::uint32_t tick = 1000;
    gpu::opengl::EglHeadlessContext context; // outlives every object made on it
    gpu::opengl::OpenGLFactory factory;
    RendererState state;
    gpu::PresentedImage image;
};

TEST_F(RenderGlTest, DrawsTheFittedSquareInItsTextureColoursOnBlackForEachFormat) {
    for (std::uint8_t format :
         {g1t::kFormatRGBA8, g1t::kFormatBGRA8, g1t::kFormatDXT1, g1t::kFormatDXT3, g1t::kFormatDXT5}) {
        SCOPED_TRACE(testing::Message() << "G1T format " << int{format});
        Load(format);
        ExpectSquareFromTheFront(Frame(0));
    }
}

TEST_F(RenderGlTest, TurnsEdgeOnAfterOneSecondAndShowsItsBackAfterTwo) {
    Load(g1t::kFormatRGBA8);
    ExpectSquareEdgeOn(Frame(1000));
    ExpectSquareFromTheBack(Frame(2000));
}

} // namespace
} // namespace tavro::rendertest
