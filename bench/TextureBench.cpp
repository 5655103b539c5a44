// Texture throughput on fixed generated input: G1T to DDS conversion beside a memcpy of the same pixel
// bytes, the DDS layout of a large mip chain, and the authoring block compressors.
#include "authoring/BlockCompress.h"
#include "authoring/DDSWriter.h"
#include "authoring/G1TWriter.h"
#include "file/MemoryFile.h"
#include "texture/DDSLayout.h"
#include "texture/G1TToDDS.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

using namespace tavro;

// A 2048 x 2048 RGBA8 texture: 16 MiB of pixels.
std::vector<std::uint8_t> LargePack() {
    authoring::G1TTexture texture{g1t::kFormatRGBA8, 11, 11, std::vector<std::uint8_t>(2048u * 2048u * 4u)};
    for (std::size_t i = 0; i < texture.pixels.size(); ++i) {
        texture.pixels[i] = static_cast<std::uint8_t>(i * 7);
    }
    return authoring::WriteG1T(std::span(&texture, 1));
}

void BM_ConvertG1TToDDS(benchmark::State& state) {
    const std::vector<std::uint8_t> pack = LargePack();
    for (auto _ : state) {
        CReadOnlyMemoryFile source(pack.data(), static_cast<std::uint32_t>(pack.size()), false);
        CMemoryFile image;
        benchmark::DoNotOptimize(ConvertG1TToDDS(source, image));
        benchmark::DoNotOptimize(image.GetBuffer());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pack.size()));
}
BENCHMARK(BM_ConvertG1TToDDS)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The floor for a conversion: allocate and copy the same bytes once.
void BM_MemcpySameBytes(benchmark::State& state) {
    const std::vector<std::uint8_t> pack = LargePack();
    for (auto _ : state) {
        std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[pack.size()]);
        std::memcpy(copy.get(), pack.data(), pack.size());
        benchmark::DoNotOptimize(copy.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pack.size()));
}
BENCHMARK(BM_MemcpySameBytes)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A 2048 x 2048 BC1 chain of 12 levels in a 6-cube array (72 elements): 864 subresources.
void BM_LayOutDDSCubeArray(benchmark::State& state) {
    std::uint64_t chainBytes = 0;
    for (std::uint32_t size = 2048; size >= 1; size /= 2) {
        chainBytes += ComputeSurfaceSize(size, size, gpu::Format::BC1_UNorm).sliceSize;
    }
    const std::vector<std::uint8_t> image =
        authoring::WriteDDS(authoring::DX10HeaderFields(gpu::Format::BC1_UNorm, DDSDimension::Texture2D, 2048,
                                                        2048, 1, 12, 12, true),
                            std::vector<std::uint8_t>(chainBytes * 72));
    DDSTextureLayout layout;
    for (auto _ : state) {
        benchmark::DoNotOptimize(LayOutDDSTexture(image.data(), image.size(), 0, layout));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * layout.subresources.size()));
}
BENCHMARK(BM_LayOutDDSCubeArray)->Unit(benchmark::kMicrosecond);

void BM_CompressBlocks(benchmark::State& state) {
    const auto format = static_cast<authoring::BlockFormat>(state.range(0));
    const std::uint32_t size = 512;
    std::vector<std::uint8_t> rgba(size * size * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i) {
        rgba[i] = static_cast<std::uint8_t>((i * 31) ^ (i >> 9));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(authoring::CompressBlocks(format, rgba, size, size));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * size * size)); // pixels
}
BENCHMARK(BM_CompressBlocks)
    ->Arg(static_cast<int>(authoring::BlockFormat::BC1))
    ->Arg(static_cast<int>(authoring::BlockFormat::BC2))
    ->Arg(static_cast<int>(authoring::BlockFormat::BC3))
    ->Unit(benchmark::kMillisecond);

} // namespace
