#include "gpu/d3d11/D3D11Convert.h"

namespace tavro::gpu::d3d11 {
namespace {

// The graphics layer passes Direct3D's numbers through unchanged; these catch a value that drifted.
static_assert(kBindVertexBuffer == D3D11_BIND_VERTEX_BUFFER && kBindIndexBuffer == D3D11_BIND_INDEX_BUFFER &&
              kBindConstantBuffer == D3D11_BIND_CONSTANT_BUFFER &&
              kBindShaderResource == D3D11_BIND_SHADER_RESOURCE &&
              kBindRenderTarget == D3D11_BIND_RENDER_TARGET && kBindDepthStencil == D3D11_BIND_DEPTH_STENCIL);
static_assert(kCpuAccessWrite == D3D11_CPU_ACCESS_WRITE && kCpuAccessRead == D3D11_CPU_ACCESS_READ);
static_assert(kResourceMiscTextureCube == D3D11_RESOURCE_MISC_TEXTURECUBE);
static_assert(static_cast<int>(Usage::Immutable) == D3D11_USAGE_IMMUTABLE &&
              static_cast<int>(Usage::Staging) == D3D11_USAGE_STAGING);
static_assert(static_cast<int>(Format::R8G8B8A8_UNorm) == DXGI_FORMAT_R8G8B8A8_UNORM &&
              static_cast<int>(Format::D24_UNorm_S8_UInt) == DXGI_FORMAT_D24_UNORM_S8_UINT &&
              static_cast<int>(Format::BC3_UNorm) == DXGI_FORMAT_BC3_UNORM &&
              static_cast<int>(Format::B8G8R8A8_UNorm) == DXGI_FORMAT_B8G8R8A8_UNORM &&
              static_cast<int>(Format::B4G4R4A4_UNorm) == DXGI_FORMAT_B4G4R4A4_UNORM);
static_assert(static_cast<int>(SrvDimension::TextureCubeArray) == D3D11_SRV_DIMENSION_TEXTURECUBEARRAY &&
              static_cast<int>(RtvDimension::Texture2DArray) == D3D11_RTV_DIMENSION_TEXTURE2DARRAY &&
              static_cast<int>(DsvDimension::Texture2DArray) == D3D11_DSV_DIMENSION_TEXTURE2DARRAY);
static_assert(static_cast<int>(Filter::MinMagMipLinear) == D3D11_FILTER_MIN_MAG_MIP_LINEAR &&
              static_cast<int>(Filter::Anisotropic) == D3D11_FILTER_ANISOTROPIC &&
              static_cast<int>(TextureAddressMode::Wrap) == D3D11_TEXTURE_ADDRESS_WRAP &&
              static_cast<int>(ComparisonFunc::Never) == D3D11_COMPARISON_NEVER);
static_assert(static_cast<int>(PrimitiveTopology::TriangleStrip) == D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP);
static_assert(kClearDepth == D3D11_CLEAR_DEPTH && kClearStencil == D3D11_CLEAR_STENCIL);
static_assert(static_cast<int>(FeatureLevel::Level10_0) == D3D_FEATURE_LEVEL_10_0 &&
              static_cast<int>(FeatureLevel::Level11_0) == D3D_FEATURE_LEVEL_11_0);
static_assert(static_cast<int>(DriverType::Warp) == D3D_DRIVER_TYPE_WARP &&
              static_cast<int>(DriverType::Reference) == D3D_DRIVER_TYPE_REFERENCE);
static_assert(kUsageRenderTargetOutput == DXGI_USAGE_RENDER_TARGET_OUTPUT);
static_assert(kAppendAlignedElement == D3D11_APPEND_ALIGNED_ELEMENT);
static_assert(kSdkVersion == D3D11_SDK_VERSION);

template <typename To, typename From>
constexpr To As(From value) {
    return static_cast<To>(value);
}

} // namespace

D3D11_BUFFER_DESC ToNative(const BufferDesc& desc) {
    return {desc.byteWidth, As<D3D11_USAGE>(desc.usage), desc.bindFlags, desc.cpuAccessFlags,
            desc.miscFlags, desc.structureByteStride};
}

D3D11_TEXTURE1D_DESC ToNative(const Texture1DDesc& desc) {
    return {desc.width,
            desc.mipLevels,
            desc.arraySize,
            As<DXGI_FORMAT>(desc.format),
            As<D3D11_USAGE>(desc.usage),
            desc.bindFlags,
            desc.cpuAccessFlags,
            desc.miscFlags};
}

D3D11_TEXTURE2D_DESC ToNative(const Texture2DDesc& desc) {
    return {desc.width,
            desc.height,
            desc.mipLevels,
            desc.arraySize,
            As<DXGI_FORMAT>(desc.format),
            {desc.sampleDesc.count, desc.sampleDesc.quality},
            As<D3D11_USAGE>(desc.usage),
            desc.bindFlags,
            desc.cpuAccessFlags,
            desc.miscFlags};
}

D3D11_TEXTURE3D_DESC ToNative(const Texture3DDesc& desc) {
    return {desc.width,
            desc.height,
            desc.depth,
            desc.mipLevels,
            As<DXGI_FORMAT>(desc.format),
            As<D3D11_USAGE>(desc.usage),
            desc.bindFlags,
            desc.cpuAccessFlags,
            desc.miscFlags};
}

D3D11_SAMPLER_DESC ToNative(const SamplerDesc& desc) {
    D3D11_SAMPLER_DESC native{};
    native.Filter = As<D3D11_FILTER>(desc.filter);
    native.AddressU = As<D3D11_TEXTURE_ADDRESS_MODE>(desc.addressU);
    native.AddressV = As<D3D11_TEXTURE_ADDRESS_MODE>(desc.addressV);
    native.AddressW = As<D3D11_TEXTURE_ADDRESS_MODE>(desc.addressW);
    native.MipLODBias = desc.mipLodBias;
    native.MaxAnisotropy = desc.maxAnisotropy;
    native.ComparisonFunc = As<D3D11_COMPARISON_FUNC>(desc.comparisonFunc);
    for (int i = 0; i < 4; ++i)
        native.BorderColor[i] = desc.borderColor[i];
    native.MinLOD = desc.minLod;
    native.MaxLOD = desc.maxLod;
    return native;
}

D3D11_VIEWPORT ToNative(const Viewport& viewport) {
    return {viewport.topLeftX, viewport.topLeftY, viewport.width,
            viewport.height,   viewport.minDepth, viewport.maxDepth};
}

D3D11_BOX ToNative(const Box& box) {
    return {box.left, box.top, box.front, box.right, box.bottom, box.back};
}

DXGI_SWAP_CHAIN_DESC ToNative(const SwapChainDesc& desc) {
    DXGI_SWAP_CHAIN_DESC native{};
    native.BufferDesc.Width = desc.bufferDesc.width;
    native.BufferDesc.Height = desc.bufferDesc.height;
    native.BufferDesc.RefreshRate = {desc.bufferDesc.refreshRate.numerator,
                                     desc.bufferDesc.refreshRate.denominator};
    native.BufferDesc.Format = As<DXGI_FORMAT>(desc.bufferDesc.format);
    native.BufferDesc.ScanlineOrdering = As<DXGI_MODE_SCANLINE_ORDER>(desc.bufferDesc.scanlineOrdering);
    native.BufferDesc.Scaling = As<DXGI_MODE_SCALING>(desc.bufferDesc.scaling);
    native.SampleDesc = {desc.sampleDesc.count, desc.sampleDesc.quality};
    native.BufferUsage = desc.bufferUsage;
    native.BufferCount = desc.bufferCount;
    native.OutputWindow = static_cast<HWND>(desc.outputWindow);
    native.Windowed = desc.windowed ? TRUE : FALSE;
    native.SwapEffect = As<DXGI_SWAP_EFFECT>(desc.swapEffect);
    native.Flags = desc.flags;
    return native;
}

bool ToNative(const ShaderResourceViewDesc& desc, D3D11_SHADER_RESOURCE_VIEW_DESC* native) {
    *native = {};
    native->Format = As<DXGI_FORMAT>(desc.format);
    native->ViewDimension = As<D3D11_SRV_DIMENSION>(desc.viewDimension);
    switch (desc.viewDimension) {
    case SrvDimension::Texture1D:
        native->Texture1D = {desc.texture1D.mostDetailedMip, desc.texture1D.mipLevels};
        return true;
    case SrvDimension::Texture1DArray:
        native->Texture1DArray = {desc.texture1DArray.mostDetailedMip, desc.texture1DArray.mipLevels,
                                  desc.texture1DArray.firstArraySlice, desc.texture1DArray.arraySize};
        return true;
    case SrvDimension::Texture2D:
        native->Texture2D = {desc.texture2D.mostDetailedMip, desc.texture2D.mipLevels};
        return true;
    case SrvDimension::Texture2DArray:
        native->Texture2DArray = {desc.texture2DArray.mostDetailedMip, desc.texture2DArray.mipLevels,
                                  desc.texture2DArray.firstArraySlice, desc.texture2DArray.arraySize};
        return true;
    case SrvDimension::Texture3D:
        native->Texture3D = {desc.texture3D.mostDetailedMip, desc.texture3D.mipLevels};
        return true;
    case SrvDimension::TextureCube:
        native->TextureCube = {desc.textureCube.mostDetailedMip, desc.textureCube.mipLevels};
        return true;
    case SrvDimension::TextureCubeArray:
        native->TextureCubeArray = {desc.textureCubeArray.mostDetailedMip, desc.textureCubeArray.mipLevels,
                                    desc.textureCubeArray.first2DArrayFace, desc.textureCubeArray.numCubes};
        return true;
    default:
        return false;
    }
}

bool ToNative(const RenderTargetViewDesc& desc, D3D11_RENDER_TARGET_VIEW_DESC* native) {
    *native = {};
    native->Format = As<DXGI_FORMAT>(desc.format);
    native->ViewDimension = As<D3D11_RTV_DIMENSION>(desc.viewDimension);
    switch (desc.viewDimension) {
    case RtvDimension::Texture2D:
        native->Texture2D = {desc.texture2D.mipSlice};
        return true;
    case RtvDimension::Texture2DArray:
        native->Texture2DArray = {desc.texture2DArray.mipSlice, desc.texture2DArray.firstArraySlice,
                                  desc.texture2DArray.arraySize};
        return true;
    default:
        return false;
    }
}

bool ToNative(const DepthStencilViewDesc& desc, D3D11_DEPTH_STENCIL_VIEW_DESC* native) {
    *native = {};
    native->Format = As<DXGI_FORMAT>(desc.format);
    native->ViewDimension = As<D3D11_DSV_DIMENSION>(desc.viewDimension);
    native->Flags = desc.flags;
    switch (desc.viewDimension) {
    case DsvDimension::Texture2D:
        native->Texture2D = {desc.texture2D.mipSlice};
        return true;
    case DsvDimension::Texture2DArray:
        native->Texture2DArray = {desc.texture2DArray.mipSlice, desc.texture2DArray.firstArraySlice,
                                  desc.texture2DArray.arraySize};
        return true;
    default:
        return false;
    }
}

BufferDesc FromNative(const D3D11_BUFFER_DESC& native) {
    return {native.ByteWidth,      As<Usage>(native.Usage), native.BindFlags,
            native.CPUAccessFlags, native.MiscFlags,        native.StructureByteStride};
}

Texture1DDesc FromNative(const D3D11_TEXTURE1D_DESC& native) {
    return {native.Width,
            native.MipLevels,
            native.ArraySize,
            As<Format>(native.Format),
            As<Usage>(native.Usage),
            native.BindFlags,
            native.CPUAccessFlags,
            native.MiscFlags};
}

Texture2DDesc FromNative(const D3D11_TEXTURE2D_DESC& native) {
    return {native.Width,
            native.Height,
            native.MipLevels,
            native.ArraySize,
            As<Format>(native.Format),
            {native.SampleDesc.Count, native.SampleDesc.Quality},
            As<Usage>(native.Usage),
            native.BindFlags,
            native.CPUAccessFlags,
            native.MiscFlags};
}

Texture3DDesc FromNative(const D3D11_TEXTURE3D_DESC& native) {
    return {native.Width,
            native.Height,
            native.Depth,
            native.MipLevels,
            As<Format>(native.Format),
            As<Usage>(native.Usage),
            native.BindFlags,
            native.CPUAccessFlags,
            native.MiscFlags};
}

SamplerDesc FromNative(const D3D11_SAMPLER_DESC& native) {
    SamplerDesc desc{};
    desc.filter = As<Filter>(native.Filter);
    desc.addressU = As<TextureAddressMode>(native.AddressU);
    desc.addressV = As<TextureAddressMode>(native.AddressV);
    desc.addressW = As<TextureAddressMode>(native.AddressW);
    desc.mipLodBias = native.MipLODBias;
    desc.maxAnisotropy = native.MaxAnisotropy;
    desc.comparisonFunc = As<ComparisonFunc>(native.ComparisonFunc);
    for (int i = 0; i < 4; ++i)
        desc.borderColor[i] = native.BorderColor[i];
    desc.minLod = native.MinLOD;
    desc.maxLod = native.MaxLOD;
    return desc;
}

ShaderResourceViewDesc FromNative(const D3D11_SHADER_RESOURCE_VIEW_DESC& native) {
    ShaderResourceViewDesc desc{};
    desc.format = As<Format>(native.Format);
    desc.viewDimension = As<SrvDimension>(native.ViewDimension);
    switch (native.ViewDimension) {
    case D3D11_SRV_DIMENSION_TEXTURE1D:
        desc.texture1D = {native.Texture1D.MostDetailedMip, native.Texture1D.MipLevels};
        break;
    case D3D11_SRV_DIMENSION_TEXTURE1DARRAY:
        desc.texture1DArray = {native.Texture1DArray.MostDetailedMip, native.Texture1DArray.MipLevels,
                               native.Texture1DArray.FirstArraySlice, native.Texture1DArray.ArraySize};
        break;
    case D3D11_SRV_DIMENSION_TEXTURE2D:
        desc.texture2D = {native.Texture2D.MostDetailedMip, native.Texture2D.MipLevels};
        break;
    case D3D11_SRV_DIMENSION_TEXTURE2DARRAY:
        desc.texture2DArray = {native.Texture2DArray.MostDetailedMip, native.Texture2DArray.MipLevels,
                               native.Texture2DArray.FirstArraySlice, native.Texture2DArray.ArraySize};
        break;
    case D3D11_SRV_DIMENSION_TEXTURE3D:
        desc.texture3D = {native.Texture3D.MostDetailedMip, native.Texture3D.MipLevels};
        break;
    case D3D11_SRV_DIMENSION_TEXTURECUBE:
        desc.textureCube = {native.TextureCube.MostDetailedMip, native.TextureCube.MipLevels};
        break;
    case D3D11_SRV_DIMENSION_TEXTURECUBEARRAY:
        desc.textureCubeArray = {native.TextureCubeArray.MostDetailedMip, native.TextureCubeArray.MipLevels,
                                 native.TextureCubeArray.First2DArrayFace, native.TextureCubeArray.NumCubes};
        break;
    default:
        break;
    }
    return desc;
}

RenderTargetViewDesc FromNative(const D3D11_RENDER_TARGET_VIEW_DESC& native) {
    RenderTargetViewDesc desc{};
    desc.format = As<Format>(native.Format);
    desc.viewDimension = As<RtvDimension>(native.ViewDimension);
    if (native.ViewDimension == D3D11_RTV_DIMENSION_TEXTURE2D)
        desc.texture2D = {native.Texture2D.MipSlice};
    else if (native.ViewDimension == D3D11_RTV_DIMENSION_TEXTURE2DARRAY)
        desc.texture2DArray = {native.Texture2DArray.MipSlice, native.Texture2DArray.FirstArraySlice,
                               native.Texture2DArray.ArraySize};
    return desc;
}

DepthStencilViewDesc FromNative(const D3D11_DEPTH_STENCIL_VIEW_DESC& native) {
    DepthStencilViewDesc desc{};
    desc.format = As<Format>(native.Format);
    desc.viewDimension = As<DsvDimension>(native.ViewDimension);
    desc.flags = native.Flags;
    if (native.ViewDimension == D3D11_DSV_DIMENSION_TEXTURE2D)
        desc.texture2D = {native.Texture2D.MipSlice};
    else if (native.ViewDimension == D3D11_DSV_DIMENSION_TEXTURE2DARRAY)
        desc.texture2DArray = {native.Texture2DArray.MipSlice, native.Texture2DArray.FirstArraySlice,
                               native.Texture2DArray.ArraySize};
    return desc;
}

std::vector<D3D11_SUBRESOURCE_DATA> ToNative(const SubresourceData* data, std::size_t count) {
    std::vector<D3D11_SUBRESOURCE_DATA> native(count);
    for (std::size_t i = 0; i < count; ++i)
        native[i] = {data[i].sysMem, data[i].sysMemPitch, data[i].sysMemSlicePitch};
    return native;
}

std::vector<D3D11_INPUT_ELEMENT_DESC> ToNative(const InputElementDesc* elements, std::uint32_t count) {
    std::vector<D3D11_INPUT_ELEMENT_DESC> native(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const InputElementDesc& e = elements[i];
        native[i] = {
            e.semanticName,        e.semanticIndex,     As<DXGI_FORMAT>(e.format),
            e.inputSlot,           e.alignedByteOffset, As<D3D11_INPUT_CLASSIFICATION>(e.inputSlotClass),
            e.instanceDataStepRate};
    }
    return native;
}

} // namespace tavro::gpu::d3d11
