// Whole frames of a 100,000-triangle model at 1280 x 960 through the OpenGL backend (llvmpipe here).
// A headless frame is only finished when its image is read back, so the frame is timed with the read,
// and the read alone is timed beside it: the frame's own time is the difference.
#include "authoring/G1MWriter.h"
#include "file/MemoryFile.h"
#include "gpu/opengl/AllocatorTuning.h"
#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "render/RenderModel.h"
#include "tests/render/RenderTestData.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

using namespace tavro;

// A G1M model of about triangleCount triangles: a gently curved sheet in the box [-1, 1]^3.
std::vector<std::uint8_t> MakeGridG1M(std::uint32_t triangleCount) {
    // Rows of one strip each across a gently curved sheet; every row has its own vertex and index
    // buffer and submesh, so the 16-bit indices never run out however many rows there are.
    constexpr std::uint32_t kColumns = 250;
    const std::uint32_t rows = std::max<std::uint32_t>(1, triangleCount / (2 * kColumns));
    authoring::G1MModelDescription description;
    description.boundsMin = {-1, -1, -1};
    description.boundsMax = {1, 1, 1};
    description.jointMaps.push_back({});
    for (std::uint32_t row = 0; row < rows; ++row) {
        const float y0 = -1.0f + 2.0f * static_cast<float>(row) / static_cast<float>(rows);
        const float y1 = -1.0f + 2.0f * static_cast<float>(row + 1) / static_cast<float>(rows);
        std::vector<CG1MVertex> vertices;
        std::vector<std::uint16_t> indices;
        for (std::uint32_t column = 0; column <= kColumns; ++column) {
            const float x = -1.0f + 2.0f * static_cast<float>(column) / kColumns;
            const float u = static_cast<float>(column) / kColumns;
            vertices.push_back({{x, y1, 0.5f * x * y1}, {0, 0, 1}, {u, (1.0f - y1) / 2}});
            vertices.push_back({{x, y0, 0.5f * x * y0}, {0, 0, 1}, {u, (1.0f - y0) / 2}});
            indices.push_back(static_cast<std::uint16_t>(2 * column));
            indices.push_back(static_cast<std::uint16_t>(2 * column + 1));
        }
        description.vertexBuffers.push_back(authoring::MakeG1MVertexBuffer(48, vertices));
        description.indexBuffers.push_back(std::move(indices));
        description.submeshes.push_back(authoring::MakeG1MSubmesh(row, 0, 0, 2 * (kColumns + 1)));
    }
    return authoring::WriteG1M(description);
}

class GLRenderer {
public:
    bool Build(std::uint32_t triangles) {
        gpu::opengl::TuneAllocatorForSoftwareRendering();
        RenderHost host{[this] { return tick; }, [] { return ClientSize{1280, 960}; }};
        if (!InitDevice(state, factory, static_cast<gpu::opengl::IGLContext*>(&context), host)) {
            return false;
        }
        const std::vector<std::uint8_t> g1m = MakeGridG1M(triangles);
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
