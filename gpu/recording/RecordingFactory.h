#pragma once
// The recording backend: a device that draws nothing and records every call made through it, with its
// arguments, into a Recorder; refuses what Direct3D 11 refuses; and fails the calls the recorder was told
// to fail. Shaders are accepted in either language (GetShaderLanguage reports the one chosen here) and
// kept as bytes; ReadPresentedImage fails with E_NOTIMPL, since nothing is drawn.
#include "gpu/Factory.h"
#include "gpu/recording/Recorder.h"

namespace tavro::gpu::recording {

class RecordingFactory : public IDeviceFactory {
public:
    explicit RecordingFactory(Recorder& log, ShaderLanguage shaderLanguage = ShaderLanguage::Glsl)
        : recorder(log), language(shaderLanguage) {}

    // Every driver type but Unknown succeeds, unless the recorder plans a failure. The device obtains the
    // first requested level not above the recorder's maximum (kDXGI_ERROR_UNSUPPORTED when there is none).
    // desc->outputWindow is not looked at; the back buffer is a render-target texture of the desc's size.
    HRESULT CreateDeviceAndSwapChain(DriverType driverType, std::uint32_t flags,
                                     const FeatureLevel* featureLevels, std::uint32_t numFeatureLevels,
                                     std::uint32_t sdkVersion, const SwapChainDesc* desc,
                                     ISwapChain** swapChain, IDevice** device, FeatureLevel* featureLevel,
                                     IDeviceContext** context) override;

private:
    Recorder& recorder;
    ShaderLanguage language;
};

} // namespace tavro::gpu::recording
