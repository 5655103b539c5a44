#pragma once
// Descriptor checks shared by every backend that is not Direct3D itself: each refuses what Direct3D 11
// refuses, with its HRESULT and a short reason that logs and tests can name. Backends run them before
// touching any state, so a refused call has no effect.
#include "gpu/Factory.h"
#include "gpu/HResult.h"
#include "gpu/Types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavro::gpu {

struct Validation {
    HRESULT result = kS_OK;
    const char* reason = nullptr; // null when valid

    bool Ok() const { return Succeeded(result); }
    static Validation Refuse(const char* why) { return {kE_INVALIDARG, why}; }
};

// The number of levels of a full mip chain down to 1 × 1 × 1.
std::uint32_t FullMipCount(std::uint32_t width, std::uint32_t height, std::uint32_t depth);

// Everything the view and update checks need to know of a resource, whatever its dimension. Textures hold
// their resolved mip count (never 0).
struct ResourceInfo {
    ResourceDimension dimension = ResourceDimension::Unknown;
    Format format = Format::Unknown;
    std::uint32_t width = 0; // byteWidth for buffers
    std::uint32_t height = 1;
    std::uint32_t depth = 1;
    std::uint32_t mipLevels = 1;
    std::uint32_t arraySize = 1;
    std::uint32_t bindFlags = 0;
    std::uint32_t miscFlags = 0;
    Usage usage = Usage::Default;
};

Validation ValidateBufferDesc(const BufferDesc* desc, const SubresourceData* initialData);

// On success `resolved` is the desc with mipLevels 0 replaced by the full chain's count.
Validation ValidateTexture1DDesc(const Texture1DDesc* desc, const SubresourceData* initialData,
                                 Texture1DDesc* resolved);
Validation ValidateTexture2DDesc(const Texture2DDesc* desc, const SubresourceData* initialData,
                                 Texture2DDesc* resolved);
Validation ValidateTexture3DDesc(const Texture3DDesc* desc, const SubresourceData* initialData,
                                 Texture3DDesc* resolved);

// ResizeBuffers' arguments against a back buffer now in `current`: one buffer (0 keeps the count), a
// nonzero size, a swap-chain format or Unknown, no flags. On success `format` is the new buffer's.
Validation ValidateResizeBuffers(std::uint32_t bufferCount, std::uint32_t width, std::uint32_t height,
                                 Format newFormat, std::uint32_t flags, Format current, Format* format);

ResourceInfo DescribeResource(const BufferDesc& desc);
ResourceInfo DescribeResource(const Texture1DDesc& resolved);
ResourceInfo DescribeResource(const Texture2DDesc& resolved);
ResourceInfo DescribeResource(const Texture3DDesc& resolved);

// View checks. A null desc stands for a view of the whole resource in its own format (a cube texture is
// viewed as a cube or an array of cubes, any other array as an array); on success
// `resolved` is the explicit desc with every "rest of the chain" count made concrete.
Validation ResolveShaderResourceView(const ResourceInfo& resource, const ShaderResourceViewDesc* desc,
                                     ShaderResourceViewDesc* resolved);
Validation ResolveRenderTargetView(const ResourceInfo& resource, const RenderTargetViewDesc* desc,
                                   RenderTargetViewDesc* resolved);
Validation ResolveDepthStencilView(const ResourceInfo& resource, const DepthStencilViewDesc* desc,
                                   DepthStencilViewDesc* resolved);

Validation ValidateSamplerDesc(const SamplerDesc* desc);
Validation ValidateRasterizerDesc(const RasterizerDesc* desc);
Validation ValidateShaderBytecode(const void* bytecode, std::size_t length);
Validation ValidateInputLayout(const InputElementDesc* elements, std::uint32_t numElements,
                               const void* vertexShaderBytecode, std::size_t length);

// UpdateSubresource on a buffer: the byte range it writes, [*begin, *end). Refuses immutable resources,
// boxes outside the buffer and empty or inverted boxes.
Validation ResolveBufferUpdate(const ResourceInfo& buffer, std::uint32_t subresource, const Box* box,
                               const void* srcData, std::uint32_t* begin, std::uint32_t* end);

// CreateDeviceAndSwapChain's own arguments. `levels` is the list to try: the caller's, or Direct3D's default
// list (11_0 down to 9_1) when the caller gave none.
Validation ValidateDeviceRequest(DriverType driverType, const FeatureLevel* featureLevels,
                                 std::uint32_t numFeatureLevels, std::uint32_t sdkVersion,
                                 const SwapChainDesc* desc, bool wantsSwapChain,
                                 std::vector<FeatureLevel>* levels);

// The first of `levels` not above `highest`; false when there is none.
bool ChooseFeatureLevel(const std::vector<FeatureLevel>& levels, FeatureLevel highest, FeatureLevel* chosen);

// Depth formats, which can be bound as depth-stencil but not sampled directly.
bool IsDepthFormat(Format format);

} // namespace tavro::gpu
