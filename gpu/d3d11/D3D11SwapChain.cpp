#include "gpu/d3d11/D3D11Objects.h"

#include <cstring>
#include <new>

namespace tavro::gpu::d3d11 {
namespace {

// How a back buffer's pixels become RGBA8: as they are, with red and blue swapped, or with red and blue
// swapped and alpha made opaque. Formats of other sizes cannot be read back.
enum class PixelOrder { Rgba, Bgra, Bgrx, Unsupported };

PixelOrder PixelOrderOf(DXGI_FORMAT format) {
    switch (format) {
    case DXGI_FORMAT_R8G8B8A8_TYPELESS:
    case DXGI_FORMAT_R8G8B8A8_UNORM:
    case DXGI_FORMAT_R8G8B8A8_UNORM_SRGB:
        return PixelOrder::Rgba;
    case DXGI_FORMAT_B8G8R8A8_TYPELESS:
    case DXGI_FORMAT_B8G8R8A8_UNORM:
    case DXGI_FORMAT_B8G8R8A8_UNORM_SRGB:
        return PixelOrder::Bgra;
    case DXGI_FORMAT_B8G8R8X8_TYPELESS:
    case DXGI_FORMAT_B8G8R8X8_UNORM:
    case DXGI_FORMAT_B8G8R8X8_UNORM_SRGB:
        return PixelOrder::Bgrx;
    default:
        return PixelOrder::Unsupported;
    }
}

void CopyRow(const std::uint8_t* source, std::uint8_t* target, std::uint32_t width, PixelOrder order) {
    if (order == PixelOrder::Rgba) {
        std::memcpy(target, source, std::size_t{width} * 4);
        return;
    }
    for (std::uint32_t x = 0; x < width; ++x, source += 4, target += 4) {
        target[0] = source[2];
        target[1] = source[1];
        target[2] = source[0];
        target[3] = order == PixelOrder::Bgrx ? 0xFF : source[3];
    }
}

} // namespace

D3D11SwapChain::D3D11SwapChain(IDXGISwapChain* owned, D3D11Texture2D* buffer, ID3D11Texture2D* presentedCopy,
                               ID3D11Device* nativeDevice, ID3D11DeviceContext* nativeContext)
    : D3D11Object(owned), backBuffer(buffer), presented(presentedCopy), device(nativeDevice),
      context(nativeContext) {
    backBuffer->AddRef();
    presentedCopy->AddRef();
    nativeDevice->AddRef();
    nativeContext->AddRef();
}

D3D11SwapChain::~D3D11SwapChain() {
    backBuffer->Release();
}

HRESULT D3D11SwapChain::GetBuffer(std::uint32_t index, ITexture2D** buffer) {
    if (index != 0 || buffer == nullptr)
        return kE_INVALIDARG;
    backBuffer->AddRef();
    *buffer = backBuffer;
    return kS_OK;
}

HRESULT D3D11SwapChain::Present(std::uint32_t syncInterval, std::uint32_t flags) {
    // A discarding swap chain leaves the back buffer undefined after Present; the copy keeps the frame
    // readable. It stays on the graphics processor, so it costs one blit per frame.
    context->CopyResource(presented.Get(), backBuffer->NativeObject());
    // An offscreen swap chain has no DXGI swap chain: its frame is kept and nothing is shown.
    const HRESULT hr = native ? native->Present(syncInterval, flags) : kS_OK;
    if (Succeeded(hr))
        hasPresented = true;
    return hr;
}

HRESULT D3D11SwapChain::ReadPresentedImage(PresentedImage* image) try {
    if (image == nullptr)
        return kE_INVALIDARG;
    if (!hasPresented)
        return kE_FAIL;
    D3D11_TEXTURE2D_DESC desc{};
    presented->GetDesc(&desc);
    const PixelOrder order = PixelOrderOf(desc.Format);
    if (order == PixelOrder::Unsupported)
        return kE_NOTIMPL;

    D3D11_TEXTURE2D_DESC stagingDesc = desc;
    stagingDesc.Usage = D3D11_USAGE_STAGING;
    stagingDesc.BindFlags = 0;
    stagingDesc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    stagingDesc.MiscFlags = 0;
    Ref<ID3D11Texture2D> staging;
    if (const HRESULT hr = device->CreateTexture2D(&stagingDesc, nullptr, staging.Put()); Failed(hr))
        return hr;
    context->CopyResource(staging.Get(), presented.Get());

    std::vector<std::uint8_t> rgba(std::size_t{desc.Width} * desc.Height * 4);
    D3D11_MAPPED_SUBRESOURCE mapped{};
    if (const HRESULT hr = context->Map(staging.Get(), 0, D3D11_MAP_READ, 0, &mapped); Failed(hr))
        return hr;
    const auto* rows = static_cast<const std::uint8_t*>(mapped.pData);
    for (std::uint32_t y = 0; y < desc.Height; ++y)
        CopyRow(rows + std::size_t{y} * mapped.RowPitch, rgba.data() + std::size_t{y} * desc.Width * 4,
                desc.Width, order);
    context->Unmap(staging.Get(), 0);

    image->width = desc.Width;
    image->height = desc.Height;
    image->rgba = std::move(rgba);
    return kS_OK;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

} // namespace tavro::gpu::d3d11
