#pragma once
// The Direct3D 11 backend: every operation of the graphics layer forwarded one to one to Direct3D 11 and
// DXGI, whose numbers the layer already uses. Shaders are DXBC containers.
#include "gpu/Factory.h"

namespace tavro::gpu::d3d11 {

// Where the swap chain's frames go: to a window, or into a texture that no window shows, for drawing
// with no display at all (read back with ReadPresentedImage).
enum class PresentTarget { Window, Offscreen };

class D3D11Factory : public IDeviceFactory {
public:
    explicit D3D11Factory(PresentTarget target = PresentTarget::Window) : presentTarget(target) {}

    // Window: D3D11CreateDeviceAndSwapChain with no adapter and no software module; desc->outputWindow is
    // the HWND to present to. Offscreen: D3D11CreateDevice, then a render-target texture of desc's size,
    // format and sampling as the back buffer; desc->outputWindow is not used. Direct3D's result is
    // returned unchanged; E_OUTOFMEMORY when the wrappers cannot be allocated, with every object made so
    // far released.
    HRESULT CreateDeviceAndSwapChain(DriverType driverType, std::uint32_t flags,
                                     const FeatureLevel* featureLevels, std::uint32_t numFeatureLevels,
                                     std::uint32_t sdkVersion, const SwapChainDesc* desc,
                                     ISwapChain** swapChain, IDevice** device, FeatureLevel* featureLevel,
                                     IDeviceContext** context) override;

private:
    const PresentTarget presentTarget;
};

} // namespace tavro::gpu::d3d11
