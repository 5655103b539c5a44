// Loading a large model (vertex conversion throughput, beside a memcpy of the same output bytes) and
// building the per-frame draw list.
#include "authoring/G1MWriter.h"
#include "file/MemoryFile.h"
#include "model/G1MModel.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

using namespace tavro;
using namespace tavro::authoring;

constexpr std::uint32_t kBufferCount = 8;
constexpr std::uint32_t kVerticesPerBuffer = 125000; // a million vertices in all
constexpr std::uint32_t kSubmeshCount = 200;
constexpr std::int32_t kChainLength = 8;

const std::vector<std::uint8_t>& MillionVertexModel() {
    static const std::vector<std::uint8_t> file = [] {
        std::vector<CG1MVertex> vertices(kVerticesPerBuffer);
        for (std::uint32_t i = 0; i < kVerticesPerBuffer; ++i) {
            const float x = static_cast<float>(i);
            vertices[i] = {{x, x * 0.5f, -x}, {0, 1, 0}, {x * 0.001f, 1}};
        }
        G1MModelDescription model;
        model.jointMaps = {{}};
        for (std::uint32_t b = 0; b < kBufferCount; ++b) {
            model.vertexBuffers.push_back(MakeG1MVertexBuffer(48, vertices));
            std::vector<std::uint16_t> strip(kVerticesPerBuffer / 4);
            for (std::size_t i = 0; i < strip.size(); ++i) {
                strip[i] = static_cast<std::uint16_t>(i % 60000);
            }
            model.indexBuffers.push_back(strip);
            model.submeshes.push_back(MakeG1MSubmesh(b, 0, 0, static_cast<std::uint32_t>(strip.size())));
        }
        return WriteG1M(model);
    }();
    return file;
}

void BM_LoadMillionVertices(benchmark::State& state) {
    const std::vector<std::uint8_t>& bytes = MillionVertexModel();
    for (auto _ : state) {
        CReadOnlyMemoryFile file(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
        CG1MModel model;
        if (!model.Load(file)) {
            state.SkipWithError("the benchmark model did not load");
            break;
        }
        benchmark::DoNotOptimize(model.ViewVertices().data());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{kBufferCount} * kVerticesPerBuffer *
                            std::int64_t{sizeof(CG1MVertex)});
}
BENCHMARK(BM_LoadMillionVertices)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same number of output bytes copied by memcpy: the ceiling for the conversion above.
void BM_MemcpyOfTheConvertedBytes(benchmark::State& state) {
    const std::size_t size = std::size_t{kBufferCount} * kVerticesPerBuffer * sizeof(CG1MVertex);
    std::vector<std::uint8_t> source(size, 1);
    for (auto _ : state) {
        std::unique_ptr<std::uint8_t[]> destination(new std::uint8_t[size]);
        std::memcpy(destination.get(), source.data(), size);
        benchmark::DoNotOptimize(destination.get());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
BENCHMARK(BM_MemcpyOfTheConvertedBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BuildDrawItems(benchmark::State& state) {
    G1MModelDescription description;
    for (std::int32_t i = 0; i < kChainLength; ++i) {
        const float t = static_cast<float>(i);
        description.bones.push_back(MakeG1MBone(i == kChainLength - 1 ? -1 : i + 1, {t, 1, 0},
                                                {0, 0.38268343f, 0, 0.9238795f}, {1.1f, 1, 0.9f}));
    }
    description.matrices = {MatrixIdentity(), MatrixTranslation(0, 1, 0)};
    description.jointMaps = {{{0, 0, 0}}, {{1, 0, 0}}};
    description.vertexBuffers = {MakeG1MVertexBuffer(48, std::vector<CG1MVertex>(3))};
    description.indexBuffers = {{0, 1, 2}};
    for (std::uint32_t s = 0; s < kSubmeshCount; ++s) {
        description.submeshes.push_back(MakeG1MSubmesh(0, s % 2, 0, 3));
    }
    const std::vector<std::uint8_t> bytes = WriteG1M(description);
    CReadOnlyMemoryFile file(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
    CG1MModel model;
    if (!model.Load(file)) {
        state.SkipWithError("the benchmark model did not load");
        return;
    }
    for (auto _ : state) {
        std::vector<CG1MDrawItem> items = model.BuildDrawItems();
        benchmark::DoNotOptimize(items.data());
    }
    state.counters["ns_per_submesh"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kSubmeshCount,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildDrawItems);

} // namespace
