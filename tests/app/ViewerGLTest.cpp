#include "app/ModelCycler.h"
#include "app/RenderingViewer.h"
#include "app/Viewer.h"
#include "app/ViewerSession.h"
#include "export/PngWriter.h"
#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "platform/headless/HeadlessPlatform.h"
#include "render/RendererState.h"
#include "tests/TempDirectory.h"
#include "tests/app/HookedRenderer.h"
#include "tests/app/ScheduleArchive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace tavro {
namespace {

namespace fs = std::filesystem;

// The whole viewer headless: the headless platform's clock and messages, OpenGL on an EGL context, a
// generated archive. What a person would see is read back from the presented image.
class ViewerGLTest : public ::testing::Test {
protected:
    // The colour at the middle of the upper half of the view, where the square lies while it faces the
    // camera; false when nothing has been presented.
    bool ColourAboveCentre(int& r, int& g, int& b) {
        gpu::PresentedImage image;
        if (!renderer.swapChain || Failed(renderer.swapChain->ReadPresentedImage(&image))) {
            return false;
        }
        const std::uint8_t* pixel =
            &image.rgba[(std::size_t{image.height} * 3 / 8 * image.width + image.width / 2 - 40) * 4];
        r = pixel[0];
        g = pixel[1];
        b = pixel[2];
        return true;
    }

    // Runs the viewer; onIdle runs after each idle pass's frame, and closes the window when it returns false.
    int Run(const std::function<bool(int pass)>& onIdle) {
        apptest::HookedRenderer hooked(viewer, [&](int pass) {
            if (!onIdle(pass)) {
                platform.QueueMessage(platform::kMessageClose);
            }
        });
        return RunViewer(platform, hooked);
    }

    testing::TempDirectory directory;
    fs::path folder = directory.path;
    platform::CHeadlessPlatform platform{640, 480};
    gpu::opengl::EglHeadlessContext context; // outlives every object made on it
    gpu::opengl::OpenGLFactory factory;
    RendererState renderer;
    CModelCycler cycler{renderer, (folder / "LINKDATA1.bin").wstring()};
    CRenderingViewer viewer{renderer, factory, static_cast<gpu::opengl::IGLContext*>(&context), cycler};
};

TEST_F(ViewerGLTest, ShowsEachRowsModelInItsColourOnBlack) {
    ASSERT_EQ(apptest::WriteScheduleArchive(folder / "LINKDATA1.bin"), "");
    int r = 0;
    int g = 0;
    int b = 0;
    EXPECT_EQ(Run([&](int pass) {
                  if (pass == 1) {
                      // Row 0's texture is red (its darker squares too): green well below red.
                      EXPECT_TRUE(ColourAboveCentre(r, g, b));
                      EXPECT_GT(r, 100);
                      EXPECT_LT(g, r / 2);
                      platform.AdvanceTicks(4001);
                  } else if (pass == 2) {
                      // Row 1's is yellow: green close to red, blue low.
                      EXPECT_TRUE(ColourAboveCentre(r, g, b));
                      EXPECT_GT(g, r * 2 / 3);
                      EXPECT_LT(b, g / 2);
                  }
                  return pass < 2;
              }),
              0);
    EXPECT_EQ(cycler.GetCounter(), 2u);
}

TEST_F(ViewerGLTest, F12SavesThePresentedFrameBesideTheArchiveUnderAFreeName) {
    ASSERT_EQ(apptest::WriteScheduleArchive(folder / "LINKDATA1.bin"), "");
    {
        std::ofstream taken(folder / "row-000.png");
        taken << "kept";
    }
    std::vector<std::uint8_t> expected;
    CViewerSession session(platform, viewer, cycler, renderer, {});
    apptest::HookedRenderer hooked(session, [&](int pass) {
        if (pass == 1) {
            gpu::PresentedImage image;
            ASSERT_TRUE(Succeeded(renderer.swapChain->ReadPresentedImage(&image)));
            ASSERT_TRUE(EncodePng(image.width, image.height, image.rgba, expected));
            platform.QueueMessage(platform::kMessageKeyDown, platform::kKeyF12);
        } else {
            platform.QueueMessage(platform::kMessageClose);
        }
    });
    EXPECT_EQ(RunViewer(platform, hooked, &session), 0);
    std::ifstream kept(folder / "row-000.png");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
    std::ifstream saved(folder / "row-000-2.png", std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(saved), {}};
    EXPECT_EQ(bytes, expected); // the clock stands still: the frame F12 read is the one above
}

} // namespace
} // namespace tavro
