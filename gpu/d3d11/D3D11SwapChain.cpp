#include "gpu/Validation.h"
#include "gpu/d3d11/D3D11Objects.h"

#include <cstring>
#include <new>
#include <utility>

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

HRESULT CreatePresentedCopy(ID3D11Device* device, ID3D11Texture2D* backBuffer, ID3D11Texture2D** copy) {
    D3D11_TEXTURE2D_DESC desc{};
    backBuffer->GetDesc(&desc);
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = 0;
    desc.MiscFlags = 0;
    return device->CreateTexture2D(&desc, nullptr, copy);
}

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
    if (backBuffer != nullptr)
        backBuffer->Release();
}

HRESULT D3D11SwapChain::GetBuffer(std::uint32_t index, ITexture2D** buffer) {
    if (index != 0 || buffer == nullptr)
        return kE_INVALIDARG;
    if (backBuffer == nullptr)
        return kDXGI_ERROR_INVALID_CALL;
    backBuffer->AddRef();
    *buffer = backBuffer;
    return kS_OK;
}

HRESULT D3D11SwapChain::Present(std::uint32_t syncInterval, std::uint32_t flags) {
    if (backBuffer == nullptr)
        return kDXGI_ERROR_INVALID_CALL;
    // A discarding swap chain leaves the back buffer undefined after Present; the copy keeps the frame
    // readable. It stays on the graphics processor, so it costs one blit per frame.
    context->CopyResource(presented.Get(), backBuffer->NativeObject());
    // An offscreen swap chain has no DXGI swap chain: its frame is kept and nothing is shown.
    const HRESULT hr = native ? native->Present(syncInterval, flags) : kS_OK;
    if (Succeeded(hr))
        hasPresented = true;
    return hr;
}

HRESULT D3D11SwapChain::ResizeBuffers(std::uint32_t bufferCount, std::uint32_t width, std::uint32_t height,
                                      Format newFormat, std::uint32_t flags) try {
    if (backBuffer == nullptr)
        return kDXGI_ERROR_INVALID_CALL;
    D3D11_TEXTURE2D_DESC desc{};
    backBuffer->NativeObject()->GetDesc(&desc);
    Format format{};
    if (const Validation request = ValidateResizeBuffers(bufferCount, width, height, newFormat, flags,
                                                         static_cast<Format>(desc.Format), &format);
        !request.Ok())
        return request.result;
    // DXGI refuses while anything holds the buffer; our wrapper's own count says so before anything
    // is let go.
    const bool onlyReference = backBuffer->AddRef() == 2;
    backBuffer->Release();
    if (!onlyReference)
        return kDXGI_ERROR_INVALID_CALL;
    std::exchange(backBuffer, nullptr)->Release();
    presented.Reset();
    hasPresented = false;
    HRESULT hr = kS_OK;
    if (native) {
        hr = native->ResizeBuffers(bufferCount, width, height, static_cast<DXGI_FORMAT>(format), flags);
    } else {
        desc.Width = width;
        desc.Height = height;
        desc.Format = static_cast<DXGI_FORMAT>(format);
    }
    const HRESULT taken = TakeBuffers(desc);
    return Failed(hr) ? hr : taken;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

HRESULT D3D11SwapChain::TakeBuffers(const D3D11_TEXTURE2D_DESC& described) {
    Ref<ID3D11Texture2D> buffer;
    const HRESULT made =
        native ? native->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(buffer.Put()))
               : device->CreateTexture2D(&described, nullptr, buffer.Put());
    if (Failed(made))
        return made;
    Ref<ID3D11Texture2D> copy;
    if (const HRESULT hr = CreatePresentedCopy(device.Get(), buffer.Get(), copy.Put()); Failed(hr))
        return hr;
    buffer->AddRef();
    backBuffer = new D3D11Texture2D(buffer.Get());
    presented = std::move(copy);
    return kS_OK;
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
