#include "app/ModelCycler.h"
#include "app/RenderingViewer.h"
#include "app/RowPreparer.h"
#include "app/Viewer.h"
#include "app/ViewerSession.h"
#include "export/PngWriter.h"
#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "platform/headless/HeadlessPlatform.h"
#include "render/RenderModel.h"
#include "render/RendererState.h"
#include "tests/TempDirectory.h"
#include "tests/app/HookedRenderer.h"
#include "tests/app/ScheduleArchive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

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

// A renderer on its own OpenGL context with its own cycler over archive, drawing off-screen.
struct OffscreenGLViewer {
    explicit OffscreenGLViewer(const fs::path& archive) : cycler(state, archive.wstring()) {
        RenderHost host{[] { return 0u; }, [] { return ClientSize{320, 240}; }};
        initialised = InitDevice(state, factory, static_cast<gpu::opengl::IGLContext*>(&context), host);
    }
    ~OffscreenGLViewer() { state.currentModel.reset(); }

    // The pixels of one load's first frame; empty when nothing was drawn.
    std::vector<std::uint8_t> LoadAndDraw() {
        cycler.LoadNextModel();
        gpu::PresentedImage image;
        if (state.currentModel == nullptr) {
            return {};
        }
        RenderCurrentModel(state);
        return Succeeded(state.swapChain->ReadPresentedImage(&image)) ? image.rgba
                                                                      : std::vector<std::uint8_t>{};
    }

    gpu::opengl::EglHeadlessContext context; // outlives every object made on it
    gpu::opengl::OpenGLFactory factory;
    RendererState state;
    CModelCycler cycler;
    bool initialised = false;
};

// Objects made on the worker's context and handed to the drawing context give the frames the
// synchronous load gives.
TEST(PreparedGLTest, ObjectsMadeOnTheWorkerDrawTheSynchronousFrames) {
    testing::TempDirectory folder;
    const fs::path archive = folder.path / "LINKDATA1.bin";
    apptest::ScheduleArchiveOptions options;
    options.modelTriangles = 2000;
    options.textureSize = 64;
    options.rowLimit = 4;
    ASSERT_EQ(apptest::WriteScheduleArchive(archive, options), "");
    OffscreenGLViewer synchronous(archive);
    OffscreenGLViewer prepared(archive);
    ASSERT_TRUE(synchronous.initialised && prepared.initialised);
    ASSERT_TRUE(prepared.state.device->CreatesResourcesOnAnyThread());

    std::unique_ptr<PreparedRow> ahead;
    std::thread([&] {
        ahead = PrepareScheduleRow(archive.wstring(), 2, prepared.state.device.Get());
    }).join();
    ASSERT_NE(ahead, nullptr);
    EXPECT_TRUE(ahead->model.objects.has_value());
    EXPECT_EQ(ahead->model.dds, nullptr);
    ahead.reset(); // released on this thread: its objects go through the drawing context

    prepared.cycler.PrepareRowsAhead();
    for (std::uint32_t load = 0; load < options.rowLimit; ++load) {
        SCOPED_TRACE(load);
        prepared.cycler.GetPreparer()->WaitUntilIdle();
        const std::vector<std::uint8_t> expected = synchronous.LoadAndDraw();
        ASSERT_FALSE(expected.empty());
        ASSERT_TRUE(prepared.LoadAndDraw() == expected);
    }
    EXPECT_EQ(prepared.cycler.GetPreparedLoadCount(), options.rowLimit);
}

} // namespace
} // namespace tavro
