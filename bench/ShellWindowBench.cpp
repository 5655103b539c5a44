// Whole frames of the desktop window, as the running viewer draws them at every idle pass: a model of
// 100k triangles drawn on llvmpipe into the 1280 x 960 window's client area and presented with the menu
// bar drawn on top. Needs a display: run it under xvfb-run.
#include "app/AppIcon.h"
#include "app/MainWindow.h"
#include "app/ModelCycler.h"
#include "app/RenderingViewer.h"
#include "app/ResourceTables.h"
#include "gpu/opengl/AllocatorTuning.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "platform/sdl/SdlGLContext.h"
#include "platform/sdl/SdlPlatform.h"
#include "render/RendererState.h"
#include "tests/app/ScheduleArchive.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace tavro;
namespace fs = std::filesystem;

void BM_WindowFrame100kTriangles(benchmark::State& state) {
    gpu::opengl::TuneAllocatorForSoftwareRendering();
    const fs::path folder = fs::temp_directory_path() / "tavro-bench-shell-window";
    fs::create_directories(folder);
    apptest::ScheduleArchiveOptions options;
    options.modelTriangles = 100000;
    options.textureSize = 512;
    options.rowLimit = 1;
    if (!apptest::WriteScheduleArchive(folder / "LINKDATA1.bin", options).empty()) {
        state.SkipWithError("the archive cannot be written");
        return;
    }
    {
        platform::CSdlPlatform platform;
        platform::CSdlGLContext context(platform);
        gpu::opengl::OpenGLFactory factory;
        RendererState renderer;
        CModelCycler cycler(renderer, (folder / "LINKDATA1.bin").wstring());
        CRenderingViewer viewer(renderer, factory, static_cast<gpu::opengl::IGLContext*>(&context), cycler);
        CMainWindowProcedure procedure(platform);
        platform.RegisterWindowClass({"BENCH", &procedure, &AppIcon(), &AppMenu()});
        const platform::WindowHandle window =
            platform.CreateMainWindow("BENCH", "Tavro Model Viewer", 1280, 960);
        if (window == nullptr || (platform.ShowWindow(window), !viewer.InitDevice(platform, window)) ||
            !viewer.LoadNextModel() || renderer.currentModel == nullptr) {
            state.SkipWithError("no window, device or model (is there a display?)");
        } else {
            platform::Message message;
            for (auto _ : state) {
                while (platform.PeekMessage(message)) {
                    platform.DispatchMessage(message);
                }
                viewer.RenderCurrentModel();
            }
            state.counters["fps"] =
                benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
        }
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_WindowFrame100kTriangles)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);

} // namespace
