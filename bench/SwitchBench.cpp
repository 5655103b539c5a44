// The main thread's share of a model switch: one LoadNextModel, from the timer firing to the new model
// being current, with the row prepared on the worker beforehand ("prepared") beside the synchronous load
// of the same rows in the same run. On the recording backend and on OpenGL (headless EGL, llvmpipe
// here; prepared rows bring their objects made on the worker's context); typical rows (20,000
// triangles, 512 x 512 texture) and the largest (160,000, 1024 x 1024). The CPU time reported is the
// main thread's own, which a loaded machine disturbs far less than the wall time.
#include "app/ModelCycler.h"
#include "app/RowPreparer.h"
#include "bench/ScheduleArchives.h"
#include "gpu/opengl/AllocatorTuning.h"
#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "gpu/recording/RecordingFactory.h"
#include "render/RenderModel.h"
#include "render/RendererState.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tavro;

enum Backend { kRecording = 0, kOpenGL = 1 };

// A renderer on either backend, set up at 1280 x 960.
class SwitchRenderer {
public:
    explicit SwitchRenderer(Backend backend) {
        gpu::opengl::TuneAllocatorForSoftwareRendering();
        RenderHost host{[] { return 0u; }, [] { return ClientSize{1280, 960}; }};
        if (backend == kOpenGL) {
            context = std::make_unique<gpu::opengl::EglHeadlessContext>();
            glFactory = std::make_unique<gpu::opengl::OpenGLFactory>();
            ready = InitDevice(state, *glFactory, static_cast<gpu::opengl::IGLContext*>(context.get()), host);
        } else {
            recordingFactory = std::make_unique<gpu::recording::RecordingFactory>(recorder);
            ready = InitDevice(state, *recordingFactory, &window, host);
        }
    }
    ~SwitchRenderer() { state.currentModel.reset(); }
    // Keeps the recording backend's log (which copies every buffer's bytes) from growing without end.
    void ForgetCalls() { recorder.ClearCalls(); }

    gpu::recording::Recorder recorder;
    std::unique_ptr<gpu::recording::RecordingFactory> recordingFactory;
    std::unique_ptr<gpu::opengl::EglHeadlessContext> context; // outlives the renderer's objects
    std::unique_ptr<gpu::opengl::OpenGLFactory> glFactory;
    int window = 0;
    RendererState state;
    bool ready = false;
};

void BM_Switch(benchmark::State& state) {
    const auto triangles = static_cast<std::uint32_t>(state.range(0));
    const auto textureSize = static_cast<std::uint32_t>(state.range(1));
    const bool compressed = state.range(2) != 0;
    const auto backend = static_cast<Backend>(state.range(3));
    const bool prepared = state.range(4) != 0;
    const std::filesystem::path* archive = benchdata::Archives().Get(triangles, textureSize, compressed);
    if (archive == nullptr) {
        state.SkipWithError("the archive cannot be written");
        return;
    }
    SwitchRenderer renderer(backend);
    if (!renderer.ready) {
        state.SkipWithError("no device");
        return;
    }
    std::unique_ptr<CModelCycler> cycler;
    std::uint32_t preparedLoads = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (cycler == nullptr || cycler->GetCounter() == benchdata::kRows) {
            preparedLoads += cycler != nullptr ? cycler->GetPreparedLoadCount() : 0;
            cycler = std::make_unique<CModelCycler>(renderer.state, archive->wstring());
            if (prepared) {
                cycler->PrepareRowsAhead();
            }
        }
        renderer.ForgetCalls();
        if (prepared) {
            cycler->GetPreparer()->WaitUntilIdle();
        }
        state.ResumeTiming();
        if (!cycler->LoadNextModel() || renderer.state.currentModel == nullptr) {
            state.SkipWithError("a model did not load");
            break;
        }
    }
    preparedLoads += cycler != nullptr ? cycler->GetPreparedLoadCount() : 0;
    if (prepared && preparedLoads != state.iterations()) {
        state.SkipWithError("a switch did not use its prepared row");
    }
}
BENCHMARK(BM_Switch)
    ->ArgNames({"triangles", "texture", "compressed", "gl", "prepared"})
    ->ArgsProduct({{20000}, {512}, {0, 1}, {kRecording, kOpenGL}, {0, 1}})
    ->ArgsProduct({{160000}, {1024}, {0, 1}, {kRecording, kOpenGL}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
