// The recording backend's cost per frame of the renderer's shape: clears, 100 constant-buffer updates and
// draws, and a present, against a memcpy of the same constant bytes.
#include "gpu/Ref.h"
#include "gpu/recording/RecordingFactory.h"

#include <benchmark/benchmark.h>

#include <algorithm>

#include <array>
#include <cstring>

namespace {

using namespace tavro::gpu;

constexpr int kSubmeshes = 100;

void BM_RecordingFrame(benchmark::State& state) {
    recording::Recorder recorder;
    recording::RecordingFactory factory(recorder);
    SwapChainDesc desc{};
    desc.bufferCount = 1;
    desc.bufferDesc = {1280, 960, {60, 1}, Format::R8G8B8A8_UNorm, {}, {}};
    desc.sampleDesc.count = 1;
    Ref<ISwapChain> swapChain;
    Ref<IDevice> device;
    Ref<IDeviceContext> context;
    factory.CreateDeviceAndSwapChain(DriverType::Hardware, 0, nullptr, 0, kSdkVersion, &desc, swapChain.Put(),
                                     device.Put(), nullptr, context.Put());
    Ref<ITexture2D> backBuffer;
    swapChain->GetBuffer(0, backBuffer.Put());
    Ref<IRenderTargetView> target;
    device->CreateRenderTargetView(backBuffer.Get(), nullptr, target.Put());
    const BufferDesc constantDesc{192, Usage::Default, kBindConstantBuffer, 0, 0, 0};
    Ref<IBuffer> constants;
    device->CreateBuffer(&constantDesc, nullptr, constants.Put());
    std::array<float, 48> bytes{};
    const float black[4] = {0, 0, 0, 1};

    for (auto _ : state) {
        recorder.ClearCalls();
        context->ClearRenderTargetView(target.Get(), black);
        for (int i = 0; i < kSubmeshes; ++i) {
            bytes[0] = static_cast<float>(i);
            context->UpdateSubresource(constants.Get(), 0, nullptr, bytes.data(), 0, 0);
            context->DrawIndexed(300, static_cast<std::uint32_t>(i) * 300, 0);
        }
        swapChain->Present(0, 0);
        benchmark::DoNotOptimize(recorder.Calls().data());
    }
}
// Five repetitions each; the "best" row is the fastest of them.
void Best(benchmark::internal::Benchmark* benchmark) {
    benchmark->Repetitions(5)->ReportAggregatesOnly(true)->ComputeStatistics(
        "best", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

BENCHMARK(BM_RecordingFrame)->Apply(Best);

void BM_MemcpyOfTheConstantBytes(benchmark::State& state) {
    std::array<float, 48> source{};
    std::array<float, 48 * kSubmeshes> destination{};
    for (auto _ : state) {
        for (int i = 0; i < kSubmeshes; ++i)
            std::memcpy(&destination[static_cast<std::size_t>(i) * 48], source.data(), sizeof source);
        benchmark::DoNotOptimize(destination.data());
    }
}
BENCHMARK(BM_MemcpyOfTheConstantBytes)->Apply(Best);

} // namespace
