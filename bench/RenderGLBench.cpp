// Whole frames of a 100,000-triangle model at 1280 x 960 through the OpenGL backend (llvmpipe here).
// A headless frame is only finished when its image is read back, so the frame is timed with the read,
// and the read alone is timed beside it: the frame's own time is the difference.
#include "file/MemoryFile.h"
#include "gpu/opengl/AllocatorTuning.h"
#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "render/RenderModel.h"
#include "tests/render/RenderTestData.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tavro;

class GLRenderer {
public:
    bool Build(std::uint32_t triangles) {
        gpu::opengl::TuneAllocatorForSoftwareRendering();
        RenderHost host{[this] { return tick; }, [] { return ClientSize{1280, 960}; }};
        if (!InitDevice(state, factory, static_cast<gpu::opengl::IGLContext*>(&context), host)) {
            return false;
        }
        const std::vector<std::uint8_t> g1m = rendertest::MakeGridG1M(triangles);
        const std::vector<std::uint8_t> g1t = rendertest::MakeQuadrantG1T(6, 1024);
        CReadOnlyMemoryFile modelFile(g1m.data(), static_cast<std::uint32_t>(g1m.size()), false);
        CReadOnlyMemoryFile textureFile(g1t.data(), static_cast<std::uint32_t>(g1t.size()), false);
        state.currentModel = std::make_unique<CRenderModel>(state);
        return state.currentModel->Create(modelFile, textureFile);
    }
    void Frame() {
        // The sheet faces the camera for the first second of each turn; stay inside it.
        tick = state.currentModel->GetStartTick() + (tick + 7) % 500;
        RenderCurrentModel(state);
    }
    void Read() { state.swapChain->ReadPresentedImage(&image); }

private:
    std::uint32_t tick = 0;
    gpu::opengl::EglHeadlessContext context;
    gpu::opengl::OpenGLFactory factory;
    RendererState state;
    gpu::PresentedImage image;
};

void BM_FrameAndReadBack100kTriangles(benchmark::State& state) {
    GLRenderer renderer;
    if (!renderer.Build(100000)) {
        state.SkipWithError("no OpenGL device or the model cannot be built");
        return;
    }
    for (auto _ : state) {
        renderer.Frame();
        renderer.Read();
    }
}
BENCHMARK(BM_FrameAndReadBack100kTriangles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadBackOnly1280x960(benchmark::State& state) {
    GLRenderer renderer;
    if (!renderer.Build(100000)) {
        state.SkipWithError("no OpenGL device or the model cannot be built");
        return;
    }
    renderer.Frame();
    for (auto _ : state) {
        renderer.Read();
    }
}
BENCHMARK(BM_ReadBackOnly1280x960)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
