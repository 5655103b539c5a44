// Writing the whole demo archive (what tavro make-demo does: at most 15 s and 150 MB on a two-core
// machine), and building single rows' entries: the largest model, a typical model and the largest
// texture pack.
#include "authoring/demo/DemoArchive.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

using namespace tavro::authoring;

void WholeArchive(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tavro-demo-bench-" + std::to_string(::getpid()));
    DemoOptions options;
    options.threads = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        std::string error;
        if (!WriteDemoArchive(folder, options, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.counters["archive MB"] =
        static_cast<double>(std::filesystem::file_size(folder / kDemoArchiveName)) / (1 << 20);
    std::filesystem::remove_all(folder);
}
BENCHMARK(WholeArchive)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(false)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// Row 3 holds a terrain of about 300,000 vertices; row 26 a vase; row 7 a 2048 x 2048 texture.
void ModelEntry(benchmark::State& state) {
    const auto row = static_cast<std::uint32_t>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = MakeDemoModelEntry(row, 1).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(ModelEntry)->Arg(3)->Arg(26)->Unit(benchmark::kMillisecond);

void TextureEntry(benchmark::State& state) {
    const auto row = static_cast<std::uint32_t>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = MakeDemoTextureEntry(row, 1).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(TextureEntry)->Arg(7)->Arg(26)->Unit(benchmark::kMillisecond);

} // namespace
