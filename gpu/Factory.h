#pragma once
// Making a device, its immediate context and a swap chain: the graphics layer's
// D3D11CreateDeviceAndSwapChain.
#include "gpu/Device.h"

#include <cstdint>

namespace tavro::gpu {

// Driver types, with Direct3D's numbers. OpenGL maps Hardware to the default driver, Warp and Software to
// Mesa's software rasterizer, and has no Reference driver.
enum class DriverType : std::uint32_t {
    Unknown = 0,
    Hardware = 1,
    Reference = 2,
    Null = 3,
    Software = 4,
    Warp = 5,
};

constexpr std::uint32_t kSdkVersion = 7;

struct Rational {
    std::uint32_t numerator;
    std::uint32_t denominator;
};

enum class ModeScanlineOrder : std::uint32_t {
    Unspecified = 0,
    Progressive = 1,
    UpperFieldFirst = 2,
    LowerFieldFirst = 3,
};

enum class ModeScaling : std::uint32_t {
    Unspecified = 0,
    Centered = 1,
    Stretched = 2,
};

struct ModeDesc {
    std::uint32_t width;
    std::uint32_t height;
    Rational refreshRate;
    Format format;
    ModeScanlineOrder scanlineOrdering;
    ModeScaling scaling;
};

// Swap-chain buffer usage flags (bit set).
constexpr std::uint32_t kUsageShaderInput = 0x10;
constexpr std::uint32_t kUsageRenderTargetOutput = 0x20;

enum class SwapEffect : std::uint32_t {
    Discard = 0,
    Sequential = 1,
    FlipSequential = 3,
    FlipDiscard = 4,
};

// The window a swap chain presents to. Its meaning belongs to the backend: an HWND for Direct3D, a
// gpu::opengl::IGLContext* for OpenGL (an SDL window or a headless EGL context), anything for recording.
using WindowHandle = void*;

struct SwapChainDesc {
    ModeDesc bufferDesc;
    SampleDesc sampleDesc;
    std::uint32_t bufferUsage;
    std::uint32_t bufferCount;
    WindowHandle outputWindow;
    bool windowed;
    SwapEffect swapEffect;
    std::uint32_t flags;
};

// A graphics backend's entry point.
class IDeviceFactory {
public:
    virtual ~IDeviceFactory() = default;

    // Creates a device on the driver, at the first of the featureLevels (tried in order) the driver offers,
    // with its immediate context and a swap chain on desc->outputWindow whose back buffer has the described
    // size. On success each out-pointer given gets one reference and *featureLevel the level obtained;
    // on failure (a negative HRESULT, e.g. kDXGI_ERROR_UNSUPPORTED for a driver that is not available)
    // nothing is written. Direct3D's adapter and software-module arguments are always null here and are
    // left out; flags is 0 (no debug layer).
    virtual HRESULT CreateDeviceAndSwapChain(DriverType driverType, std::uint32_t flags,
                                             const FeatureLevel* featureLevels,
                                             std::uint32_t numFeatureLevels, std::uint32_t sdkVersion,
                                             const SwapChainDesc* desc, ISwapChain** swapChain,
                                             IDevice** device, FeatureLevel* featureLevel,
                                             IDeviceContext** context) = 0;
};

} // namespace tavro::gpu
