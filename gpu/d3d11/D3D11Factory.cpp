#include "gpu/d3d11/D3D11Factory.h"
#include "gpu/d3d11/D3D11Objects.h"

#include <new>
#include <vector>

namespace tavro::gpu::d3d11 {
namespace {

// A new reference on `object`, for a wrapper that takes one over. Written as `new Wrapper(Share(x))`, the
// reference is added only once the allocation has succeeded, so running out of memory leaks none.
template <typename T>
T* Share(T* object) {
    object->AddRef();
    return object;
}

// Hands the caller one reference on `object` through `out`, when the caller asked for it.
template <typename Interface, typename T>
void HandOut(const Ref<T>& object, Interface** out) {
    if (out != nullptr)
        *out = Share(object.Get());
}

// The back buffer of an offscreen swap chain: a texture the renderer can draw into, described like the
// back buffer a DXGI swap chain would make from desc.
HRESULT CreateOffscreenBackBuffer(ID3D11Device* device, const DXGI_SWAP_CHAIN_DESC& desc,
                                  ID3D11Texture2D** backBuffer) {
    D3D11_TEXTURE2D_DESC texture{};
    texture.Width = desc.BufferDesc.Width;
    texture.Height = desc.BufferDesc.Height;
    texture.MipLevels = 1;
    texture.ArraySize = 1;
    texture.Format = desc.BufferDesc.Format;
    texture.SampleDesc = desc.SampleDesc;
    texture.Usage = D3D11_USAGE_DEFAULT;
    texture.BindFlags = D3D11_BIND_RENDER_TARGET |
                        ((desc.BufferUsage & DXGI_USAGE_SHADER_INPUT) != 0 ? D3D11_BIND_SHADER_RESOURCE : 0);
    return device->CreateTexture2D(&texture, nullptr, backBuffer);
}

} // namespace

HRESULT D3D11Factory::CreateDeviceAndSwapChain(DriverType driverType, std::uint32_t flags,
                                               const FeatureLevel* featureLevels,
                                               std::uint32_t numFeatureLevels, std::uint32_t sdkVersion,
                                               const SwapChainDesc* desc, ISwapChain** swapChain,
                                               IDevice** device, FeatureLevel* featureLevel,
                                               IDeviceContext** context) try {
    std::vector<D3D_FEATURE_LEVEL> levels;
    if (featureLevels != nullptr) {
        for (std::uint32_t i = 0; i < numFeatureLevels; ++i)
            levels.push_back(static_cast<D3D_FEATURE_LEVEL>(featureLevels[i]));
    }
    DXGI_SWAP_CHAIN_DESC nativeDesc{};
    if (desc != nullptr)
        nativeDesc = ToNative(*desc);

    Ref<IDXGISwapChain> nativeSwapChain;
    Ref<ID3D11Device> nativeDevice;
    Ref<ID3D11DeviceContext> nativeContext;
    Ref<ID3D11Texture2D> backBuffer;
    D3D_FEATURE_LEVEL obtained{};
    const D3D_FEATURE_LEVEL* nativeLevels = featureLevels != nullptr ? levels.data() : nullptr;
    const std::uint32_t levelCount = featureLevels != nullptr ? numFeatureLevels : 0;
    HRESULT hr = kS_OK;
    if (presentTarget == PresentTarget::Window) {
        hr = ::D3D11CreateDeviceAndSwapChain(nullptr, static_cast<D3D_DRIVER_TYPE>(driverType), nullptr,
                                             flags, nativeLevels, levelCount, sdkVersion,
                                             desc != nullptr ? &nativeDesc : nullptr,
                                             swapChain != nullptr ? nativeSwapChain.Put() : nullptr,
                                             nativeDevice.Put(), &obtained, nativeContext.Put());
        if (Failed(hr))
            return hr;
        if (swapChain != nullptr) {
            if (const HRESULT got = nativeSwapChain->GetBuffer(0, __uuidof(ID3D11Texture2D),
                                                               reinterpret_cast<void**>(backBuffer.Put()));
                Failed(got))
                return got;
        }
    } else {
        if (swapChain != nullptr && desc == nullptr)
            return kE_INVALIDARG;
        hr = ::D3D11CreateDevice(nullptr, static_cast<D3D_DRIVER_TYPE>(driverType), nullptr, flags,
                                 nativeLevels, levelCount, sdkVersion, nativeDevice.Put(), &obtained,
                                 nativeContext.Put());
        if (Failed(hr))
            return hr;
        if (swapChain != nullptr) {
            if (const HRESULT made =
                    CreateOffscreenBackBuffer(nativeDevice.Get(), nativeDesc, backBuffer.Put());
                Failed(made))
                return made;
        }
    }

    Ref<D3D11DeviceContext> contextWrapper(new D3D11DeviceContext(Share(nativeContext.Get())));
    Ref<D3D11Device> deviceWrapper(new D3D11Device(Share(nativeDevice.Get()), contextWrapper.Get()));
    Ref<D3D11SwapChain> swapChainWrapper;
    if (swapChain != nullptr) {
        Ref<ID3D11Texture2D> presentedCopy;
        if (const HRESULT made =
                CreatePresentedCopy(nativeDevice.Get(), backBuffer.Get(), presentedCopy.Put());
            Failed(made))
            return made;
        Ref<D3D11Texture2D> backBufferWrapper(new D3D11Texture2D(Share(backBuffer.Get())));
        swapChainWrapper = Ref<D3D11SwapChain>(new D3D11SwapChain(
            nativeSwapChain ? Share(nativeSwapChain.Get()) : nullptr, backBufferWrapper.Get(),
            presentedCopy.Get(), nativeDevice.Get(), nativeContext.Get()));
    }

    HandOut(swapChainWrapper, swapChain);
    HandOut(deviceWrapper, device);
    HandOut(contextWrapper, context);
    if (featureLevel != nullptr)
        *featureLevel = static_cast<FeatureLevel>(obtained);
    return hr;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

} // namespace tavro::gpu::d3d11
