// One LoadNextModel on the recording backend, with the archive in the page cache: archive open, index
// read, two entry extractions (LZP2-decoded when compressed), G1T to DDS, G1M parse, buffers and texture
// made. Entries of a typical size (a model of about 1 MB and a 512 x 512 texture, 1 MB) and of the
// largest (about 8 MB and 1024 x 1024, 4 MB), stored and compressed, beside a memcpy of the same bytes.
#include "app/ModelCycler.h"
#include "bench/ScheduleArchives.h"
#include "gpu/recording/RecordingFactory.h"
#include "render/RendererState.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

using namespace tavro;
namespace fs = std::filesystem;

using benchdata::Archives;
using benchdata::kRows;

void BM_LoadNextModel(benchmark::State& state) {
    const auto triangles = static_cast<std::uint32_t>(state.range(0));
    const auto textureSize = static_cast<std::uint32_t>(state.range(1));
    const bool compressed = state.range(2) != 0;
    const fs::path* archive = Archives().Get(triangles, textureSize, compressed);
    if (archive == nullptr) {
        state.SkipWithError("the archive cannot be written");
        return;
    }
    gpu::recording::Recorder recorder;
    gpu::recording::RecordingFactory factory(recorder);
    RendererState renderer;
    int window = 0;
    if (!InitDevice(renderer, factory, &window,
                    RenderHost{[] { return 0u; },
                               [] {
                                   return ClientSize{1280, 960};
                               }})) {
        state.SkipWithError("no device");
        return;
    }
    auto cycler = std::make_unique<CModelCycler>(renderer, archive->wstring());
    const std::uint64_t entryBytes = fs::file_size(*archive) / kRows;
    for (auto _ : state) {
        if (!cycler->LoadNextModel() || renderer.currentModel == nullptr) {
            state.SkipWithError("a model did not load");
            break;
        }
        if (cycler->GetCounter() == kRows) {
            state.PauseTiming();
            cycler = std::make_unique<CModelCycler>(renderer, archive->wstring());
            recorder.ClearCalls();
            state.ResumeTiming();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * entryBytes));
    state.counters["row_bytes"] = static_cast<double>(entryBytes);
}
BENCHMARK(BM_LoadNextModel)
    ->ArgNames({"triangles", "texture", "compressed"})
    ->Args({20000, 512, 0})
    ->Args({20000, 512, 1})
    ->Args({160000, 1024, 0})
    ->Args({160000, 1024, 1})
    ->Unit(benchmark::kMillisecond);

// The floor: copying the bytes of one typical and one large row.
void BM_MemcpyRowBytes(benchmark::State& state) {
    std::vector<std::uint8_t> source(static_cast<std::size_t>(state.range(0)), 1);
    std::vector<std::uint8_t> destination(source.size());
    for (auto _ : state) {
        std::memcpy(destination.data(), source.data(), source.size());
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_MemcpyRowBytes)->Arg(2 << 20)->Arg(12 << 20)->Unit(benchmark::kMillisecond);

} // namespace
