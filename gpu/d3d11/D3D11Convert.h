#pragma once
// Translations between the graphics layer's descriptors and Direct3D 11's. The numbers are the same on
// both sides; only the struct types differ, so each translation copies field by field.
#include "gpu/Factory.h"
#include "gpu/Types.h"

#include <d3d11.h>

#include <cstdint>
#include <vector>

namespace tavro::gpu::d3d11 {

D3D11_BUFFER_DESC ToNative(const BufferDesc& desc);
D3D11_TEXTURE1D_DESC ToNative(const Texture1DDesc& desc);
D3D11_TEXTURE2D_DESC ToNative(const Texture2DDesc& desc);
D3D11_TEXTURE3D_DESC ToNative(const Texture3DDesc& desc);
D3D11_SAMPLER_DESC ToNative(const SamplerDesc& desc);
D3D11_VIEWPORT ToNative(const Viewport& viewport);
D3D11_BOX ToNative(const Box& box);
DXGI_SWAP_CHAIN_DESC ToNative(const SwapChainDesc& desc);

// View descriptors; false for a view dimension the graphics layer does not describe (render-target and
// depth-stencil views exist for 2D textures and 2D texture arrays only).
bool ToNative(const ShaderResourceViewDesc& desc, D3D11_SHADER_RESOURCE_VIEW_DESC* native);
bool ToNative(const RenderTargetViewDesc& desc, D3D11_RENDER_TARGET_VIEW_DESC* native);
bool ToNative(const DepthStencilViewDesc& desc, D3D11_DEPTH_STENCIL_VIEW_DESC* native);

BufferDesc FromNative(const D3D11_BUFFER_DESC& native);
Texture1DDesc FromNative(const D3D11_TEXTURE1D_DESC& native);
Texture2DDesc FromNative(const D3D11_TEXTURE2D_DESC& native);
Texture3DDesc FromNative(const D3D11_TEXTURE3D_DESC& native);
SamplerDesc FromNative(const D3D11_SAMPLER_DESC& native);
// Views of a dimension the graphics layer does not describe come back with their format and dimension
// only.
ShaderResourceViewDesc FromNative(const D3D11_SHADER_RESOURCE_VIEW_DESC& native);
RenderTargetViewDesc FromNative(const D3D11_RENDER_TARGET_VIEW_DESC& native);
DepthStencilViewDesc FromNative(const D3D11_DEPTH_STENCIL_VIEW_DESC& native);

// Initial data for `count` subresources. Throws std::bad_alloc.
std::vector<D3D11_SUBRESOURCE_DATA> ToNative(const SubresourceData* data, std::size_t count);

// Input elements; the semantic names stay the caller's strings. Throws std::bad_alloc.
std::vector<D3D11_INPUT_ELEMENT_DESC> ToNative(const InputElementDesc* elements, std::uint32_t count);

} // namespace tavro::gpu::d3d11
