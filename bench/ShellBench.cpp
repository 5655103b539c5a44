// One LoadNextModel on the recording backend, with the archive in the page cache: archive open, index
// read, two entry extractions (LZP2-decoded when compressed), G1T to DDS, G1M parse, buffers and texture
// made. Entries of a typical size (a model of about 1 MB and a 512 x 512 texture, 1 MB) and of the
// largest (about 8 MB and 1024 x 1024, 4 MB), stored and compressed, beside a memcpy of the same bytes.
#include "app/ModelCycler.h"
#include "gpu/recording/RecordingFactory.h"
#include "render/RendererState.h"
#include "tests/app/ScheduleArchive.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace {

using namespace tavro;
namespace fs = std::filesystem;

// Rows with content; the cycler starts again from row 0 after them.
constexpr std::uint32_t kRows = 4;

// One archive per setting, written once per run and removed at exit.
class BenchArchives {
public:
    ~BenchArchives() {
        for (const auto& entry : folders_) {
            fs::remove_all(entry.second);
        }
    }
    const fs::path* Get(std::uint32_t triangles, std::uint32_t textureSize, bool compressed) {
        const auto key = std::make_tuple(triangles, textureSize, compressed);
        if (auto found = folders_.find(key); found != folders_.end()) {
            return &found->second;
        }
        const fs::path folder =
            fs::temp_directory_path() / ("tavro-bench-shell-" + std::to_string(triangles) + "-" +
                                         std::to_string(textureSize) + (compressed ? "-c" : "-s"));
        fs::create_directories(folder);
        apptest::ScheduleArchiveOptions options;
        options.modelTriangles = triangles;
        options.textureSize = textureSize;
        options.compressed = compressed;
        options.rowLimit = kRows;
        if (!apptest::WriteScheduleArchive(folder / "LINKDATA1.bin", options).empty()) {
            return nullptr;
        }
        return &folders_.emplace(key, folder).first->second;
    }

private:
    std::map<std::tuple<std::uint32_t, std::uint32_t, bool>, fs::path> folders_;
};

BenchArchives& Archives() {
    static BenchArchives archives;
    return archives;
}

void BM_LoadNextModel(benchmark::State& state) {
    const auto triangles = static_cast<std::uint32_t>(state.range(0));
    const auto textureSize = static_cast<std::uint32_t>(state.range(1));
    const bool compressed = state.range(2) != 0;
    const fs::path* folder = Archives().Get(triangles, textureSize, compressed);
    if (folder == nullptr) {
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
    auto cycler = std::make_unique<CModelCycler>(renderer, (*folder / "LINKDATA1.bin").wstring());
    const std::uint64_t entryBytes = fs::file_size(*folder / "LINKDATA1.bin") / kRows;
    for (auto _ : state) {
        if (!cycler->LoadNextModel() || renderer.currentModel == nullptr) {
            state.SkipWithError("a model did not load");
            break;
        }
        if (cycler->GetCounter() == kRows) {
            state.PauseTiming();
            cycler = std::make_unique<CModelCycler>(renderer, (*folder / "LINKDATA1.bin").wstring());
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
