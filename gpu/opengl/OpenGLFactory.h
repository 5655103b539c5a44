#pragma once
// The OpenGL backend: OpenGL 4.5 core through libepoxy, reproducing Direct3D 11's effects (depth 0..1,
// clockwise front faces with back faces culled, strip cuts at all-ones indices, base vertices, the
// constant buffer's bytes as a std140 uniform block, linear-wrap sampling, a back buffer blitted to the
// window at Present). Shaders are GLSL source (gpu/opengl/GlslConventions.h).
#include "gpu/Factory.h"

namespace tavro::gpu::opengl {

class OpenGLFactory : public IDeviceFactory {
public:
    // desc->outputWindow must be the IGLContext* to draw with. Hardware creates the context on the
    // default driver and refuses a software rasterizer there; Warp and Software create it on Mesa's
    // software rasterizer; Reference and Null have no OpenGL counterpart. Those refusals, and a driver
    // without OpenGL 4.5 or S3TC/RGTC/BPTC texture compression, give kDXGI_ERROR_UNSUPPORTED. The device
    // offers feature level 11_0.
    HRESULT CreateDeviceAndSwapChain(DriverType driverType, std::uint32_t flags,
                                     const FeatureLevel* featureLevels, std::uint32_t numFeatureLevels,
                                     std::uint32_t sdkVersion, const SwapChainDesc* desc,
                                     ISwapChain** swapChain, IDevice** device, FeatureLevel* featureLevel,
                                     IDeviceContext** context) override;
};

} // namespace tavro::gpu::opengl
