#pragma once
// The Direct3D 11 backend: every operation of the graphics layer forwarded one to one to Direct3D 11 and
// DXGI, whose numbers the layer already uses. Shaders are DXBC containers.
#include "gpu/Factory.h"

namespace tavro::gpu::d3d11 {

class D3D11Factory : public IDeviceFactory {
public:
    // D3D11CreateDeviceAndSwapChain with no adapter and no software module. desc->outputWindow is the
    // HWND to present to. Direct3D's result is returned unchanged; E_OUTOFMEMORY when the wrappers cannot
    // be allocated, with every object made so far released.
    HRESULT CreateDeviceAndSwapChain(DriverType driverType, std::uint32_t flags,
                                     const FeatureLevel* featureLevels, std::uint32_t numFeatureLevels,
                                     std::uint32_t sdkVersion, const SwapChainDesc* desc,
                                     ISwapChain** swapChain, IDevice** device, FeatureLevel* featureLevel,
                                     IDeviceContext** context) override;
};

} // namespace tavro::gpu::d3d11
