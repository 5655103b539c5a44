#pragma once
// A recording device, context and swap chain of 64 × 48, made the way the renderer makes its own unless
// other feature levels are asked for.
#include "gpu/Ref.h"
#include "gpu/recording/RecordingFactory.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavro::gpu::recording {

struct RecordingHarness {
    Recorder recorder;
    Ref<ISwapChain> swapChain;
    Ref<IDevice> device;
    Ref<IDeviceContext> context;

    HRESULT Create(DriverType driverType = DriverType::Hardware,
                   std::vector<FeatureLevel> levels = {FeatureLevel::Level11_0, FeatureLevel::Level10_1,
                                                       FeatureLevel::Level10_0}) {
        RecordingFactory factory(recorder);
        SwapChainDesc desc{};
        desc.bufferCount = 1;
        desc.bufferDesc.width = 64;
        desc.bufferDesc.height = 48;
        desc.bufferDesc.format = Format::R8G8B8A8_UNorm;
        desc.bufferDesc.refreshRate = {60, 1};
        desc.bufferUsage = kUsageRenderTargetOutput;
        desc.sampleDesc.count = 1;
        desc.windowed = true;
        FeatureLevel obtained{};
        return factory.CreateDeviceAndSwapChain(driverType, 0, levels.data(),
                                                static_cast<std::uint32_t>(levels.size()), kSdkVersion, &desc,
                                                swapChain.Put(), device.Put(), &obtained, context.Put());
    }

    void Release() {
        context.Reset();
        device.Reset();
        swapChain.Reset();
    }
};

} // namespace tavro::gpu::recording
