#include "gpu/Validation.h"

#include <algorithm>
#include <iterator>

namespace tavro::gpu {
namespace {

constexpr std::uint32_t kMaxTexture1DWidth = 16384;
constexpr std::uint32_t kMaxTexture2DSize = 16384;
constexpr std::uint32_t kMaxTexture3DSize = 2048;
constexpr std::uint32_t kMaxTextureArraySize = 2048;
constexpr std::uint32_t kLastFormat = static_cast<std::uint32_t>(Format::B4G4R4A4_UNorm);
constexpr std::uint32_t kKnownBindFlags = kBindVertexBuffer | kBindIndexBuffer | kBindConstantBuffer |
                                          kBindShaderResource | kBindStreamOutput | kBindRenderTarget |
                                          kBindDepthStencil | kBindUnorderedAccess;
constexpr std::uint32_t kAllMips = 0xFFFFFFFF;

bool IsKnownFormat(Format format) {
    const auto value = static_cast<std::uint32_t>(format);
    return value != 0 && value <= kLastFormat;
}

// Usage, CPU access and bind flags must agree as Direct3D requires.
Validation CheckUsage(Usage usage, std::uint32_t bindFlags, std::uint32_t cpuAccessFlags,
                      const SubresourceData* initialData) {
    if ((bindFlags & ~kKnownBindFlags) != 0)
        return Validation::Refuse("unknown bind flags");
    if ((cpuAccessFlags & ~(kCpuAccessRead | kCpuAccessWrite)) != 0)
        return Validation::Refuse("unknown CPU access flags");
    switch (usage) {
    case Usage::Default:
        if (cpuAccessFlags != 0)
            return Validation::Refuse("default usage with CPU access");
        return {};
    case Usage::Immutable:
        if (cpuAccessFlags != 0)
            return Validation::Refuse("immutable usage with CPU access");
        if (initialData == nullptr)
            return Validation::Refuse("immutable resource without initial data");
        return {};
    case Usage::Dynamic:
        if (cpuAccessFlags != kCpuAccessWrite)
            return Validation::Refuse("dynamic usage needs CPU write access only");
        return {};
    case Usage::Staging:
        if (bindFlags != 0)
            return Validation::Refuse("staging resource with bind flags");
        if (cpuAccessFlags == 0)
            return Validation::Refuse("staging resource without CPU access");
        return {};
    }
    return Validation::Refuse("unknown usage");
}

Validation CheckInitialData(const SubresourceData* initialData, std::uint64_t count) {
    if (initialData == nullptr)
        return {};
    for (std::uint64_t i = 0; i < count; ++i) {
        if (initialData[i].sysMem == nullptr)
            return Validation::Refuse("initial data without a pointer");
    }
    return {};
}

// Checks shared by the three texture dimensions; mipLevels is resolved in place.
Validation CheckTexture(Format format, Usage usage, std::uint32_t bindFlags, std::uint32_t cpuAccessFlags,
                        std::uint32_t& mipLevels, std::uint32_t arraySize, std::uint32_t fullChain,
                        const SubresourceData* initialData) {
    if (!IsKnownFormat(format))
        return Validation::Refuse("unknown texture format");
    if ((bindFlags & (kBindVertexBuffer | kBindIndexBuffer | kBindConstantBuffer)) != 0)
        return Validation::Refuse("buffer bind flags on a texture");
    if (IsDepthFormat(format) && (bindFlags & kBindShaderResource) != 0)
        return Validation::Refuse("depth format bound as shader resource");
    if ((bindFlags & kBindDepthStencil) != 0 && !IsDepthFormat(format))
        return Validation::Refuse("depth-stencil binding of a colour format");
    if (arraySize == 0 || arraySize > kMaxTextureArraySize)
        return Validation::Refuse("array size out of range");
    if (mipLevels == 0)
        mipLevels = fullChain;
    if (mipLevels > fullChain)
        return Validation::Refuse("more mip levels than the size allows");
    if (const Validation usageCheck = CheckUsage(usage, bindFlags, cpuAccessFlags, initialData);
        !usageCheck.Ok())
        return usageCheck;
    return CheckInitialData(initialData, std::uint64_t{mipLevels} * arraySize);
}

// Resolves a [first, first + count) mip range, count kAllMips meaning "to the end".
bool ResolveMipRange(std::uint32_t first, std::uint32_t& count, std::uint32_t total) {
    if (first >= total)
        return false;
    if (count == kAllMips)
        count = total - first;
    return count != 0 && count <= total - first;
}

bool InArrayRange(std::uint32_t first, std::uint32_t count, std::uint32_t total) {
    return count != 0 && first < total && count <= total - first;
}

} // namespace

bool IsDepthFormat(Format format) {
    switch (format) {
    case Format::D32_Float_S8X24_UInt:
    case Format::D32_Float:
    case Format::D24_UNorm_S8_UInt:
    case Format::D16_UNorm:
        return true;
    default:
        return false;
    }
}

std::uint32_t FullMipCount(std::uint32_t width, std::uint32_t height, std::uint32_t depth) {
    std::uint32_t largest = std::max({width, height, depth, 1u});
    std::uint32_t levels = 1;
    while (largest > 1) {
        largest >>= 1;
        ++levels;
    }
    return levels;
}

Validation ValidateDeviceRequest(DriverType driverType, const FeatureLevel* featureLevels,
                                 std::uint32_t numFeatureLevels, std::uint32_t sdkVersion,
                                 const SwapChainDesc* desc, bool wantsSwapChain,
                                 std::vector<FeatureLevel>* levels) {
    static constexpr FeatureLevel kDefaultLevels[] = {FeatureLevel::Level11_0, FeatureLevel::Level10_1,
                                                      FeatureLevel::Level10_0, FeatureLevel::Level9_3,
                                                      FeatureLevel::Level9_2,  FeatureLevel::Level9_1};
    if (sdkVersion != kSdkVersion)
        return Validation::Refuse("unknown SDK version");
    if (driverType == DriverType::Unknown || driverType > DriverType::Warp)
        return Validation::Refuse("driver type needs an adapter or is unknown");
    if (featureLevels == nullptr && numFeatureLevels != 0)
        return Validation::Refuse("feature-level count without a list");
    if (wantsSwapChain) {
        if (desc == nullptr || desc->bufferDesc.width == 0 || desc->bufferDesc.height == 0 ||
            desc->bufferCount == 0 || desc->sampleDesc.count != 1 || desc->sampleDesc.quality != 0)
            return Validation::Refuse("bad swap-chain description");
        if (desc->bufferDesc.format != Format::R8G8B8A8_UNorm &&
            desc->bufferDesc.format != Format::B8G8R8A8_UNorm)
            return Validation::Refuse("swap-chain format must be R8G8B8A8_UNorm or B8G8R8A8_UNorm");
    }
    if (featureLevels == nullptr)
        levels->assign(std::begin(kDefaultLevels), std::end(kDefaultLevels));
    else
        levels->assign(featureLevels, featureLevels + numFeatureLevels);
    return {};
}

Validation ValidateResizeBuffers(std::uint32_t bufferCount, std::uint32_t width, std::uint32_t height,
                                 Format newFormat, std::uint32_t flags, Format current, Format* format) {
    if (bufferCount > 1)
        return Validation::Refuse("a swap chain here has one buffer");
    if (width == 0 || height == 0)
        return Validation::Refuse("zero back-buffer size");
    if (flags != 0)
        return Validation::Refuse("unknown swap-chain flags");
    if (newFormat != Format::Unknown && newFormat != Format::R8G8B8A8_UNorm &&
        newFormat != Format::B8G8R8A8_UNorm)
        return Validation::Refuse("swap-chain format must be R8G8B8A8_UNorm or B8G8R8A8_UNorm");
    *format = newFormat == Format::Unknown ? current : newFormat;
    return {};
}

bool ChooseFeatureLevel(const std::vector<FeatureLevel>& levels, FeatureLevel highest, FeatureLevel* chosen) {
    for (const FeatureLevel level : levels) {
        if (level <= highest) {
            *chosen = level;
            return true;
        }
    }
    return false;
}

Validation ValidateBufferDesc(const BufferDesc* desc, const SubresourceData* initialData) {
    if (desc == nullptr)
        return Validation::Refuse("no buffer description");
    if (desc->byteWidth == 0)
        return Validation::Refuse("zero ByteWidth");
    if ((desc->bindFlags & (kBindRenderTarget | kBindDepthStencil)) != 0)
        return Validation::Refuse("render-target or depth binding of a buffer");
    if ((desc->bindFlags & kBindConstantBuffer) != 0) {
        if (desc->bindFlags != kBindConstantBuffer)
            return Validation::Refuse("constant buffer combined with other bindings");
        if (desc->byteWidth % 16 != 0 || desc->byteWidth > kMaxConstantBufferBytes)
            return Validation::Refuse("constant buffer size not a multiple of 16 up to 65536");
    }
    if (const Validation usage = CheckUsage(desc->usage, desc->bindFlags, desc->cpuAccessFlags, initialData);
        !usage.Ok())
        return usage;
    return CheckInitialData(initialData, 1);
}

Validation ValidateTexture1DDesc(const Texture1DDesc* desc, const SubresourceData* initialData,
                                 Texture1DDesc* resolved) {
    if (desc == nullptr)
        return Validation::Refuse("no texture description");
    if (desc->width == 0 || desc->width > kMaxTexture1DWidth)
        return Validation::Refuse("texture width out of range");
    if ((desc->miscFlags & kResourceMiscTextureCube) != 0)
        return Validation::Refuse("cube flag on a 1D texture");
    Texture1DDesc out = *desc;
    const Validation common =
        CheckTexture(out.format, out.usage, out.bindFlags, out.cpuAccessFlags, out.mipLevels, out.arraySize,
                     FullMipCount(out.width, 1, 1), initialData);
    if (!common.Ok())
        return common;
    *resolved = out;
    return {};
}

Validation ValidateTexture2DDesc(const Texture2DDesc* desc, const SubresourceData* initialData,
                                 Texture2DDesc* resolved) {
    if (desc == nullptr)
        return Validation::Refuse("no texture description");
    if (desc->width == 0 || desc->height == 0 || desc->width > kMaxTexture2DSize ||
        desc->height > kMaxTexture2DSize)
        return Validation::Refuse("texture size out of range");
    if (desc->sampleDesc.count != 1 || desc->sampleDesc.quality != 0)
        return Validation::Refuse("multisampled textures are not supported");
    if ((desc->miscFlags & kResourceMiscTextureCube) != 0 &&
        (desc->arraySize % 6 != 0 || desc->width != desc->height))
        return Validation::Refuse("cube texture needs square faces in multiples of 6");
    Texture2DDesc out = *desc;
    const Validation common =
        CheckTexture(out.format, out.usage, out.bindFlags, out.cpuAccessFlags, out.mipLevels, out.arraySize,
                     FullMipCount(out.width, out.height, 1), initialData);
    if (!common.Ok())
        return common;
    *resolved = out;
    return {};
}

Validation ValidateTexture3DDesc(const Texture3DDesc* desc, const SubresourceData* initialData,
                                 Texture3DDesc* resolved) {
    if (desc == nullptr)
        return Validation::Refuse("no texture description");
    if (desc->width == 0 || desc->height == 0 || desc->depth == 0 || desc->width > kMaxTexture3DSize ||
        desc->height > kMaxTexture3DSize || desc->depth > kMaxTexture3DSize)
        return Validation::Refuse("texture size out of range");
    if ((desc->miscFlags & kResourceMiscTextureCube) != 0)
        return Validation::Refuse("cube flag on a 3D texture");
    if ((desc->bindFlags & kBindDepthStencil) != 0)
        return Validation::Refuse("depth-stencil binding of a 3D texture");
    Texture3DDesc out = *desc;
    const Validation common =
        CheckTexture(out.format, out.usage, out.bindFlags, out.cpuAccessFlags, out.mipLevels, 1,
                     FullMipCount(out.width, out.height, out.depth), initialData);
    if (!common.Ok())
        return common;
    *resolved = out;
    return {};
}

ResourceInfo DescribeResource(const BufferDesc& desc) {
    ResourceInfo info;
    info.dimension = ResourceDimension::Buffer;
    info.width = desc.byteWidth;
    info.bindFlags = desc.bindFlags;
    info.miscFlags = desc.miscFlags;
    info.usage = desc.usage;
    return info;
}

ResourceInfo DescribeResource(const Texture1DDesc& resolved) {
    ResourceInfo info;
    info.dimension = ResourceDimension::Texture1D;
    info.format = resolved.format;
    info.width = resolved.width;
    info.mipLevels = resolved.mipLevels;
    info.arraySize = resolved.arraySize;
    info.bindFlags = resolved.bindFlags;
    info.miscFlags = resolved.miscFlags;
    info.usage = resolved.usage;
    return info;
}

ResourceInfo DescribeResource(const Texture2DDesc& resolved) {
    ResourceInfo info;
    info.dimension = ResourceDimension::Texture2D;
    info.format = resolved.format;
    info.width = resolved.width;
    info.height = resolved.height;
    info.mipLevels = resolved.mipLevels;
    info.arraySize = resolved.arraySize;
    info.bindFlags = resolved.bindFlags;
    info.miscFlags = resolved.miscFlags;
    info.usage = resolved.usage;
    return info;
}

ResourceInfo DescribeResource(const Texture3DDesc& resolved) {
    ResourceInfo info;
    info.dimension = ResourceDimension::Texture3D;
    info.format = resolved.format;
    info.width = resolved.width;
    info.height = resolved.height;
    info.depth = resolved.depth;
    info.mipLevels = resolved.mipLevels;
    info.bindFlags = resolved.bindFlags;
    info.miscFlags = resolved.miscFlags;
    info.usage = resolved.usage;
    return info;
}

Validation ResolveShaderResourceView(const ResourceInfo& resource, const ShaderResourceViewDesc* desc,
                                     ShaderResourceViewDesc* resolved) {
    if ((resource.bindFlags & kBindShaderResource) == 0)
        return Validation::Refuse("resource not bound as shader resource");
    ShaderResourceViewDesc out{};
    if (desc != nullptr) {
        out = *desc;
    } else {
        out.format = resource.format;
        const bool isArray = resource.arraySize > 1;
        switch (resource.dimension) {
        case ResourceDimension::Texture1D:
            out.viewDimension = isArray ? SrvDimension::Texture1DArray : SrvDimension::Texture1D;
            out.texture1DArray = {0, kAllMips, 0, resource.arraySize};
            break;
        case ResourceDimension::Texture2D:
            if ((resource.miscFlags & kResourceMiscTextureCube) != 0) {
                out.viewDimension =
                    resource.arraySize > 6 ? SrvDimension::TextureCubeArray : SrvDimension::TextureCube;
                out.textureCubeArray = {0, kAllMips, 0, resource.arraySize / 6};
            } else {
                out.viewDimension = isArray ? SrvDimension::Texture2DArray : SrvDimension::Texture2D;
                out.texture2DArray = {0, kAllMips, 0, resource.arraySize};
            }
            break;
        case ResourceDimension::Texture3D:
            out.viewDimension = SrvDimension::Texture3D;
            out.texture3D = {0, kAllMips};
            break;
        default:
            return Validation::Refuse("shader-resource views of buffers are not supported");
        }
    }
    if (out.format == Format::Unknown)
        out.format = resource.format;
    if (out.format != resource.format)
        return Validation::Refuse("view format differs from the resource format");

    TexArraySrv range{};
    std::uint32_t* mipCount = nullptr; // the active member's mipLevels, written once resolved
    bool hasArray = false;
    const bool isCube = (resource.miscFlags & kResourceMiscTextureCube) != 0;
    switch (out.viewDimension) {
    case SrvDimension::Texture1D:
    case SrvDimension::Texture1DArray:
        if (resource.dimension != ResourceDimension::Texture1D)
            return Validation::Refuse("view dimension does not match the resource");
        hasArray = out.viewDimension == SrvDimension::Texture1DArray;
        range = hasArray ? out.texture1DArray
                         : TexArraySrv{out.texture1D.mostDetailedMip, out.texture1D.mipLevels, 0, 1};
        mipCount = hasArray ? &out.texture1DArray.mipLevels : &out.texture1D.mipLevels;
        break;
    case SrvDimension::Texture2D:
    case SrvDimension::Texture2DArray:
        if (resource.dimension != ResourceDimension::Texture2D)
            return Validation::Refuse("view dimension does not match the resource");
        hasArray = out.viewDimension == SrvDimension::Texture2DArray;
        range = hasArray ? out.texture2DArray
                         : TexArraySrv{out.texture2D.mostDetailedMip, out.texture2D.mipLevels, 0, 1};
        mipCount = hasArray ? &out.texture2DArray.mipLevels : &out.texture2D.mipLevels;
        break;
    case SrvDimension::Texture3D:
        if (resource.dimension != ResourceDimension::Texture3D)
            return Validation::Refuse("view dimension does not match the resource");
        range = {out.texture3D.mostDetailedMip, out.texture3D.mipLevels, 0, 1};
        mipCount = &out.texture3D.mipLevels;
        break;
    case SrvDimension::TextureCube:
        if (resource.dimension != ResourceDimension::Texture2D || !isCube)
            return Validation::Refuse("cube view of a texture that is not a cube");
        range = {out.textureCube.mostDetailedMip, out.textureCube.mipLevels, 0, 6};
        mipCount = &out.textureCube.mipLevels;
        break;
    case SrvDimension::TextureCubeArray: {
        if (resource.dimension != ResourceDimension::Texture2D || !isCube)
            return Validation::Refuse("cube view of a texture that is not a cube");
        const TexCubeArraySrv& cubes = out.textureCubeArray;
        const std::uint64_t faces = std::uint64_t{cubes.numCubes} * 6;
        if (cubes.numCubes == 0 || cubes.first2DArrayFace >= resource.arraySize ||
            faces > resource.arraySize - cubes.first2DArrayFace)
            return Validation::Refuse("cube range outside the texture");
        range = {cubes.mostDetailedMip, cubes.mipLevels, 0, 1};
        mipCount = &out.textureCubeArray.mipLevels;
        break;
    }
    default:
        return Validation::Refuse("unsupported view dimension");
    }
    if (!ResolveMipRange(range.mostDetailedMip, range.mipLevels, resource.mipLevels))
        return Validation::Refuse("mip range outside the texture");
    if (hasArray && !InArrayRange(range.firstArraySlice, range.arraySize, resource.arraySize))
        return Validation::Refuse("array range outside the texture");
    if (out.viewDimension == SrvDimension::TextureCube && resource.arraySize < 6)
        return Validation::Refuse("cube range outside the texture");
    *mipCount = range.mipLevels;
    *resolved = out;
    return {};
}

Validation ResolveRenderTargetView(const ResourceInfo& resource, const RenderTargetViewDesc* desc,
                                   RenderTargetViewDesc* resolved) {
    if ((resource.bindFlags & kBindRenderTarget) == 0)
        return Validation::Refuse("resource not bound as render target");
    if (resource.dimension != ResourceDimension::Texture2D)
        return Validation::Refuse("render targets must be 2D textures");
    RenderTargetViewDesc out{};
    if (desc != nullptr) {
        out = *desc;
    } else {
        out.format = resource.format;
        out.viewDimension = resource.arraySize > 1 ? RtvDimension::Texture2DArray : RtvDimension::Texture2D;
        out.texture2DArray = {0, 0, resource.arraySize};
    }
    if (out.format == Format::Unknown)
        out.format = resource.format;
    if (out.format != resource.format)
        return Validation::Refuse("view format differs from the resource format");
    if (out.viewDimension == RtvDimension::Texture2D) {
        if (out.texture2D.mipSlice >= resource.mipLevels)
            return Validation::Refuse("mip slice outside the texture");
    } else if (out.viewDimension == RtvDimension::Texture2DArray) {
        if (out.texture2DArray.mipSlice >= resource.mipLevels ||
            !InArrayRange(out.texture2DArray.firstArraySlice, out.texture2DArray.arraySize,
                          resource.arraySize))
            return Validation::Refuse("slice outside the texture");
    } else {
        return Validation::Refuse("unsupported view dimension");
    }
    *resolved = out;
    return {};
}

Validation ResolveDepthStencilView(const ResourceInfo& resource, const DepthStencilViewDesc* desc,
                                   DepthStencilViewDesc* resolved) {
    if ((resource.bindFlags & kBindDepthStencil) == 0)
        return Validation::Refuse("resource not bound as depth stencil");
    if (resource.dimension != ResourceDimension::Texture2D)
        return Validation::Refuse("depth-stencil targets must be 2D textures");
    DepthStencilViewDesc out{};
    if (desc != nullptr) {
        out = *desc;
    } else {
        out.format = resource.format;
        out.viewDimension = resource.arraySize > 1 ? DsvDimension::Texture2DArray : DsvDimension::Texture2D;
        out.texture2DArray = {0, 0, resource.arraySize};
    }
    if (out.format == Format::Unknown)
        out.format = resource.format;
    if (out.format != resource.format || !IsDepthFormat(out.format))
        return Validation::Refuse("view format is not the resource's depth format");
    if ((out.flags & ~0x3u) != 0)
        return Validation::Refuse("unknown depth-stencil view flags");
    if (out.viewDimension == DsvDimension::Texture2D) {
        if (out.texture2D.mipSlice >= resource.mipLevels)
            return Validation::Refuse("mip slice outside the texture");
    } else if (out.viewDimension == DsvDimension::Texture2DArray) {
        if (out.texture2DArray.mipSlice >= resource.mipLevels ||
            !InArrayRange(out.texture2DArray.firstArraySlice, out.texture2DArray.arraySize,
                          resource.arraySize))
            return Validation::Refuse("slice outside the texture");
    } else {
        return Validation::Refuse("unsupported view dimension");
    }
    *resolved = out;
    return {};
}

Validation ValidateRasterizerDesc(const RasterizerDesc* desc) {
    if (desc == nullptr)
        return Validation::Refuse("no rasterizer description");
    if (desc->fillMode != FillMode::Wireframe && desc->fillMode != FillMode::Solid)
        return Validation::Refuse("unknown fill mode");
    if (desc->cullMode < CullMode::None || desc->cullMode > CullMode::Back)
        return Validation::Refuse("unknown cull mode");
    return {};
}

Validation ValidateSamplerDesc(const SamplerDesc* desc) {
    if (desc == nullptr)
        return Validation::Refuse("no sampler description");
    // Point/linear choices live in bits 0x1, 0x4 and 0x10; 0x80 makes any filter a comparison filter.
    const std::uint32_t filter = static_cast<std::uint32_t>(desc->filter) & ~0x80u;
    if ((filter & ~0x15u) != 0 && filter != static_cast<std::uint32_t>(Filter::Anisotropic))
        return Validation::Refuse("unknown filter");
    for (const TextureAddressMode mode : {desc->addressU, desc->addressV, desc->addressW}) {
        if (mode < TextureAddressMode::Wrap || mode > TextureAddressMode::MirrorOnce)
            return Validation::Refuse("unknown address mode");
    }
    if (desc->maxAnisotropy > kMaxAnisotropy)
        return Validation::Refuse("anisotropy above 16");
    if (desc->comparisonFunc < ComparisonFunc::Never || desc->comparisonFunc > ComparisonFunc::Always)
        return Validation::Refuse("unknown comparison function");
    if (!(desc->minLod <= desc->maxLod))
        return Validation::Refuse("MinLOD above MaxLOD");
    return {};
}

Validation ValidateShaderBytecode(const void* bytecode, std::size_t length) {
    if (bytecode == nullptr || length == 0)
        return Validation::Refuse("no shader bytecode");
    return {};
}

Validation ValidateInputLayout(const InputElementDesc* elements, std::uint32_t numElements,
                               const void* vertexShaderBytecode, std::size_t length) {
    if (elements == nullptr || numElements == 0 || numElements > kMaxInputElements)
        return Validation::Refuse("input element count out of range");
    for (std::uint32_t i = 0; i < numElements; ++i) {
        const InputElementDesc& element = elements[i];
        if (element.semanticName == nullptr || element.semanticName[0] == '\0')
            return Validation::Refuse("input element without a semantic name");
        if (!IsKnownFormat(element.format))
            return Validation::Refuse("input element of unknown format");
        if (element.inputSlot >= kMaxVertexBufferSlots)
            return Validation::Refuse("input slot out of range");
        if (element.inputSlotClass == InputClassification::PerVertexData && element.instanceDataStepRate != 0)
            return Validation::Refuse("per-vertex element with an instance step rate");
        if (element.inputSlotClass != InputClassification::PerVertexData &&
            element.inputSlotClass != InputClassification::PerInstanceData)
            return Validation::Refuse("unknown input classification");
    }
    return ValidateShaderBytecode(vertexShaderBytecode, length);
}

Validation ResolveBufferUpdate(const ResourceInfo& buffer, std::uint32_t subresource, const Box* box,
                               const void* srcData, std::uint32_t* begin, std::uint32_t* end) {
    if (buffer.dimension != ResourceDimension::Buffer)
        return Validation::Refuse("not a buffer");
    if (buffer.usage != Usage::Default)
        return Validation::Refuse("only default-usage resources can be updated");
    if (subresource != 0 || srcData == nullptr)
        return Validation::Refuse("bad subresource or source");
    if (box == nullptr) {
        *begin = 0;
        *end = buffer.width;
        return {};
    }
    if ((buffer.bindFlags & kBindConstantBuffer) != 0)
        return Validation::Refuse("constant buffers are updated whole");
    if (box->left >= box->right || box->right > buffer.width)
        return Validation::Refuse("box outside the buffer");
    *begin = box->left;
    *end = box->right;
    return {};
}

} // namespace tavro::gpu
