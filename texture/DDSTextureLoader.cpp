#include "texture/DDSTextureLoader.h"

#include "gpu/Ref.h"

#include <limits>
#include <new>
#include <vector>

namespace tavro {
namespace {

gpu::ShaderResourceViewDesc MakeViewDesc(DDSDimension dimension, std::uint32_t mipLevels,
                                         std::uint32_t arraySize, gpu::Format format, bool cube) {
    gpu::ShaderResourceViewDesc desc{};
    desc.format = format;
    switch (dimension) {
    case DDSDimension::Texture1D:
        if (arraySize > 1) {
            desc.viewDimension = gpu::SrvDimension::Texture1DArray;
            desc.texture1DArray = {0, mipLevels, 0, arraySize};
        } else {
            desc.viewDimension = gpu::SrvDimension::Texture1D;
            desc.texture1D = {0, mipLevels};
        }
        break;
    case DDSDimension::Texture2D:
        if (cube) {
            if (arraySize > 6) {
                desc.viewDimension = gpu::SrvDimension::TextureCubeArray;
                desc.textureCubeArray = {0, mipLevels, 0, arraySize / 6};
            } else {
                desc.viewDimension = gpu::SrvDimension::TextureCube;
                desc.textureCube = {0, mipLevels};
            }
        } else if (arraySize > 1) {
            desc.viewDimension = gpu::SrvDimension::Texture2DArray;
            desc.texture2DArray = {0, mipLevels, 0, arraySize};
        } else {
            desc.viewDimension = gpu::SrvDimension::Texture2D;
            desc.texture2D = {0, mipLevels};
        }
        break;
    case DDSDimension::Texture3D:
        desc.viewDimension = gpu::SrvDimension::Texture3D;
        desc.texture3D = {0, mipLevels};
        break;
    }
    return desc;
}

// Creates the texture of a laid-out image. A slice larger than the device's 32-bit pitch can describe
// (a 16384 x 16384 level of four floats is 4 GiB) is refused as the device would refuse the texture,
// so a mip chain still gets its retry from a smaller level.
HRESULT CreateFromLayout(gpu::IDevice* device, const DDSTextureLayout& layout,
                         gpu::IShaderResourceView** view) {
    std::vector<gpu::SubresourceData> table;
    table.reserve(layout.subresources.size());
    for (const DDSSubresource& subresource : layout.subresources) {
        if (subresource.slicePitch > std::numeric_limits<std::uint32_t>::max()) {
            return kE_INVALIDARG;
        }
        table.push_back(
            {subresource.data, subresource.rowPitch, static_cast<std::uint32_t>(subresource.slicePitch)});
    }
    return CreateTextureAndView(device, layout.dimension, layout.width, layout.height, layout.depth,
                                layout.MipLevels(), layout.arraySize, layout.format, layout.cube,
                                table.data(), view);
}

} // namespace

HRESULT CreateTextureAndView(gpu::IDevice* device, DDSDimension dimension, std::uint32_t width,
                             std::uint32_t height, std::uint32_t depth, std::uint32_t mipLevels,
                             std::uint32_t arraySize, gpu::Format format, bool cube,
                             const gpu::SubresourceData* table, gpu::IShaderResourceView** view) {
    if (device == nullptr || table == nullptr) {
        return kE_POINTER;
    }
    gpu::Ref<gpu::IResource> texture;
    HRESULT hr = kE_FAIL;
    switch (dimension) {
    case DDSDimension::Texture1D: {
        const gpu::Texture1DDesc desc{
            width, mipLevels, arraySize, format, gpu::Usage::Default, gpu::kBindShaderResource, 0, 0};
        gpu::ITexture1D* created = nullptr;
        hr = device->CreateTexture1D(&desc, table, &created);
        texture = gpu::Ref<gpu::IResource>(created);
        break;
    }
    case DDSDimension::Texture2D: {
        const gpu::Texture2DDesc desc{width,
                                      height,
                                      mipLevels,
                                      arraySize,
                                      format,
                                      {1, 0},
                                      gpu::Usage::Default,
                                      gpu::kBindShaderResource,
                                      0,
                                      cube ? gpu::kResourceMiscTextureCube : 0u};
        gpu::ITexture2D* created = nullptr;
        hr = device->CreateTexture2D(&desc, table, &created);
        texture = gpu::Ref<gpu::IResource>(created);
        break;
    }
    case DDSDimension::Texture3D: {
        const gpu::Texture3DDesc desc{
            width, height, depth, mipLevels, format, gpu::Usage::Default, gpu::kBindShaderResource, 0, 0};
        gpu::ITexture3D* created = nullptr;
        hr = device->CreateTexture3D(&desc, table, &created);
        texture = gpu::Ref<gpu::IResource>(created);
        break;
    }
    default:
        return kE_FAIL;
    }
    if (Failed(hr)) {
        return hr;
    }
    const gpu::ShaderResourceViewDesc viewDesc = MakeViewDesc(dimension, mipLevels, arraySize, format, cube);
    // The view holds the texture; our own reference goes with `texture` whatever the outcome.
    return device->CreateShaderResourceView(texture.Get(), &viewDesc, view);
}

HRESULT LoadDDSTexture(gpu::IDevice* device, const std::uint8_t* bytes, std::size_t length,
                       gpu::IShaderResourceView** view) {
    if (device == nullptr || bytes == nullptr || view == nullptr) {
        return kE_INVALIDARG;
    }
    try {
        DDSTextureLayout layout;
        const HRESULT hr = LayOutDDSTexture(bytes, length, 0, layout);
        if (Failed(hr)) {
            return hr;
        }
        return LoadLaidOutDDSTexture(device, bytes, length, layout, view);
    } catch (const std::bad_alloc&) {
        return kE_OUTOFMEMORY;
    }
}

HRESULT LoadLaidOutDDSTexture(gpu::IDevice* device, const std::uint8_t* bytes, std::size_t length,
                              const DDSTextureLayout& layout, gpu::IShaderResourceView** view) {
    if (device == nullptr || bytes == nullptr || view == nullptr) {
        return kE_INVALIDARG;
    }
    try {
        HRESULT hr = CreateFromLayout(device, layout, view);
        if (Failed(hr) && layout.mipCount > 1) {
            const std::uint32_t cap = DDSRetrySizeCap(static_cast<std::uint32_t>(device->GetFeatureLevel()),
                                                      layout.dimension, layout.cube);
            DDSTextureLayout capped;
            hr = LayOutDDSTexture(bytes, length, cap, capped);
            if (Succeeded(hr)) {
                hr = CreateFromLayout(device, capped, view);
            }
        }
        return hr;
    } catch (const std::bad_alloc&) {
        return kE_OUTOFMEMORY;
    }
}

} // namespace tavro
