// CPU cost of one frame of CRenderModel::Render for a model of 100 submeshes, on the recording backend
// (which stands in for the driver), beside a memcpy of the constant-buffer bytes the frame writes.
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

} // namespace
