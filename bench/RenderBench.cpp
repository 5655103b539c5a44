// CPU cost of one frame of CRenderModel::Render for a model of 100 submeshes, on the recording backend
// (which stands in for the driver), beside a memcpy of the constant-buffer bytes the frame writes; and
// the first and later frames of a hostile model: 20,000 submeshes on the deepest bone of a chain of
// 65,535 bones.
#include "authoring/G1MWriter.h"
#include "render/RenderModel.h"
#include "tests/render/RenderTestData.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using namespace tavro;

constexpr std::uint32_t kSubmeshes = 100;

void BM_RenderFrame100Submeshes(benchmark::State& state) {
    rendertest::RecordingRenderer renderer;
    if (!renderer.Init() ||
        !renderer.LoadModel(rendertest::MakeQuadG1M(kSubmeshes), rendertest::MakeQuadrantG1T(0))) {
        state.SkipWithError("the model cannot be built");
        return;
    }
    std::uint32_t frames = 0;
    for (auto _ : state) {
        ++renderer.tick;
        RenderCurrentModel(*renderer.state);
        // The log would grow without bound; emptying it is the recorder's cost, not the frame's.
        if (++frames % 64 == 0) {
            state.PauseTiming();
            renderer.recorder.ClearCalls();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kSubmeshes);
}
BENCHMARK(BM_RenderFrame100Submeshes)->Unit(benchmark::kMicrosecond);

void BM_MemcpyConstantBytes100Submeshes(benchmark::State& state) {
    std::vector<std::uint8_t> source(kSubmeshes * 192, 1);
    std::vector<std::uint8_t> destination(source.size());
    for (auto _ : state) {
        for (std::uint32_t item = 0; item < kSubmeshes; ++item) {
            std::memcpy(destination.data() + item * 192, source.data() + item * 192, 192);
        }
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyConstantBytes100Submeshes)->Unit(benchmark::kMicrosecond);

constexpr std::uint32_t kChainBones = 65535;
constexpr std::uint32_t kChainSubmeshes = 20000;

std::vector<std::uint8_t> DeepChainG1M() {
    authoring::G1MModelDescription model;
    for (std::uint32_t i = 0; i < kChainBones; ++i) {
        const auto parent = static_cast<std::int32_t>(i + 1 == kChainBones ? -1 : i + 1);
        model.bones.push_back(authoring::MakeG1MBone(parent, {0.001f, 0, 0}, {0, 0.001f, 0, 1}, {1, 1, 1}));
    }
    model.matrices = {MatrixIdentity()};
    model.jointMaps = {{{0, 0, 0}}};
    model.vertexBuffers = {authoring::MakeG1MVertexBuffer(48, std::vector<CG1MVertex>(3))};
    model.indexBuffers = {{0, 1, 2}};
    for (std::uint32_t s = 0; s < kChainSubmeshes; ++s) {
        model.submeshes.push_back(authoring::MakeG1MSubmesh(0, 0, 0, 3));
    }
    return authoring::WriteG1M(model);
}

// The first frame builds the draw list (one walk of the chain); each is measured from a fresh model.
void BM_DeepChainFirstFrame(benchmark::State& state) {
    const std::vector<std::uint8_t> g1m = DeepChainG1M();
    const std::vector<std::uint8_t> g1t = rendertest::MakeQuadrantG1T(0);
    for (auto _ : state) {
        state.PauseTiming();
        rendertest::RecordingRenderer renderer;
        if (!renderer.Init() || !renderer.LoadModel(g1m, g1t)) {
            state.SkipWithError("the model cannot be built");
            return;
        }
        state.ResumeTiming();
        RenderCurrentModel(*renderer.state);
        state.PauseTiming();
        renderer.state.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeepChainFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

// Later frames reuse the list: 20,000 constant-buffer updates and draws.
void BM_DeepChainLaterFrame(benchmark::State& state) {
    rendertest::RecordingRenderer renderer;
    if (!renderer.Init() || !renderer.LoadModel(DeepChainG1M(), rendertest::MakeQuadrantG1T(0))) {
        state.SkipWithError("the model cannot be built");
        return;
    }
    RenderCurrentModel(*renderer.state);
    for (auto _ : state) {
        ++renderer.tick;
        RenderCurrentModel(*renderer.state);
        state.PauseTiming();
        renderer.recorder.ClearCalls();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kChainSubmeshes);
}
BENCHMARK(BM_DeepChainLaterFrame)->Unit(benchmark::kMillisecond);

} // namespace
