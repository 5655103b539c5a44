#pragma once
// The Direct3D 11 backend's object classes (internal to gpu/d3d11). Each wraps one Direct3D object and
// holds one reference to it; the wrapper's own count is what the graphics layer's callers see.
#include "gpu/Ref.h"
#include "gpu/RefCounted.h"
#include "gpu/d3d11/D3D11Convert.h"

#include <d3d11.h>

#include <utility>

namespace tavro::gpu::d3d11 {

// A wrapper over the Direct3D object Native.
template <typename Interface, typename Native>
class D3D11Object : public RefCounted<Interface> {
public:
    // Takes over the reference the caller holds on `owned`.
    explicit D3D11Object(Native* owned) : native(owned) {}
    Native* NativeObject() const { return native.Get(); }

protected:
    Ref<Native> native;
};

// What views and the context need of any resource: the Direct3D resource behind it.
class D3D11ResourceHandle {
public:
    virtual ~D3D11ResourceHandle() = default;
    virtual ID3D11Resource* NativeResource() const = 0;
};

// The Direct3D object behind one of this backend's objects; null for null or for another backend's.
template <typename Concrete, typename Interface>
auto NativeOf(Interface* object) -> decltype(static_cast<Concrete*>(nullptr)->NativeObject()) {
    auto* concrete = object == nullptr ? nullptr : dynamic_cast<Concrete*>(object);
    return concrete == nullptr ? nullptr : concrete->NativeObject();
}

inline ID3D11Resource* NativeResourceOf(IResource* resource) {
    auto* handle = resource == nullptr ? nullptr : dynamic_cast<D3D11ResourceHandle*>(resource);
    return handle == nullptr ? nullptr : handle->NativeResource();
}

template <typename Interface, typename Native, typename Desc, typename NativeDesc,
          ResourceDimension kDimension>
class D3D11Resource : public D3D11Object<Interface, Native>, public D3D11ResourceHandle {
public:
    using D3D11Object<Interface, Native>::D3D11Object;
    ID3D11Resource* NativeResource() const override { return this->native.Get(); }
    ResourceDimension GetType() const override { return kDimension; }
    void GetDesc(Desc* desc) const override {
        NativeDesc nativeDesc{};
        this->native->GetDesc(&nativeDesc);
        *desc = FromNative(nativeDesc);
    }
};

using D3D11Buffer =
    D3D11Resource<IBuffer, ID3D11Buffer, BufferDesc, D3D11_BUFFER_DESC, ResourceDimension::Buffer>;
using D3D11Texture1D = D3D11Resource<ITexture1D, ID3D11Texture1D, Texture1DDesc, D3D11_TEXTURE1D_DESC,
                                     ResourceDimension::Texture1D>;
using D3D11Texture2D = D3D11Resource<ITexture2D, ID3D11Texture2D, Texture2DDesc, D3D11_TEXTURE2D_DESC,
                                     ResourceDimension::Texture2D>;
using D3D11Texture3D = D3D11Resource<ITexture3D, ID3D11Texture3D, Texture3DDesc, D3D11_TEXTURE3D_DESC,
                                     ResourceDimension::Texture3D>;

// A view holds a reference to the wrapper of its resource, which GetResource hands out; Direct3D's view
// holds its own reference to the Direct3D resource.
template <typename Interface, typename Native, typename Desc, typename NativeDesc>
class D3D11View : public D3D11Object<Interface, Native> {
public:
    D3D11View(Native* owned, IResource* viewed) : D3D11Object<Interface, Native>(owned), resource(viewed) {
        resource->AddRef();
    }
    ~D3D11View() override { resource->Release(); }

    void GetResource(IResource** out) override {
        resource->AddRef();
        *out = resource;
    }
    void GetDesc(Desc* desc) const override {
        NativeDesc nativeDesc{};
        this->native->GetDesc(&nativeDesc);
        *desc = FromNative(nativeDesc);
    }

private:
    IResource* const resource;
};

using D3D11ShaderResourceView = D3D11View<IShaderResourceView, ID3D11ShaderResourceView,
                                          ShaderResourceViewDesc, D3D11_SHADER_RESOURCE_VIEW_DESC>;
using D3D11RenderTargetView =
    D3D11View<IRenderTargetView, ID3D11RenderTargetView, RenderTargetViewDesc, D3D11_RENDER_TARGET_VIEW_DESC>;
using D3D11DepthStencilView =
    D3D11View<IDepthStencilView, ID3D11DepthStencilView, DepthStencilViewDesc, D3D11_DEPTH_STENCIL_VIEW_DESC>;

class D3D11SamplerState : public D3D11Object<ISamplerState, ID3D11SamplerState> {
public:
    using D3D11Object::D3D11Object;
    void GetDesc(SamplerDesc* desc) const override {
        D3D11_SAMPLER_DESC nativeDesc{};
        native->GetDesc(&nativeDesc);
        *desc = FromNative(nativeDesc);
    }
};

class D3D11RasterizerState : public D3D11Object<IRasterizerState, ID3D11RasterizerState> {
public:
    using D3D11Object::D3D11Object;
    void GetDesc(RasterizerDesc* desc) const override {
        D3D11_RASTERIZER_DESC nativeDesc{};
        native->GetDesc(&nativeDesc);
        *desc = {static_cast<FillMode>(nativeDesc.FillMode), static_cast<CullMode>(nativeDesc.CullMode),
                 nativeDesc.FrontCounterClockwise != FALSE};
    }
};

using D3D11VertexShader = D3D11Object<IVertexShader, ID3D11VertexShader>;
using D3D11PixelShader = D3D11Object<IPixelShader, ID3D11PixelShader>;
using D3D11InputLayout = D3D11Object<IInputLayout, ID3D11InputLayout>;

class D3D11DeviceContext : public D3D11Object<IDeviceContext, ID3D11DeviceContext> {
public:
    using D3D11Object::D3D11Object;

    void OMSetRenderTargets(std::uint32_t numViews, IRenderTargetView* const* renderTargetViews,
                            IDepthStencilView* depthStencilView) override;
    void RSSetViewports(std::uint32_t numViewports, const Viewport* viewports) override;
    void RSSetState(IRasterizerState* state) override;
    void IASetInputLayout(IInputLayout* layout) override;
    void IASetPrimitiveTopology(PrimitiveTopology topology) override;
    void IASetVertexBuffers(std::uint32_t startSlot, std::uint32_t numBuffers, IBuffer* const* buffers,
                            const std::uint32_t* strides, const std::uint32_t* offsets) override;
    void IASetIndexBuffer(IBuffer* buffer, Format format, std::uint32_t offset) override;
    void VSSetShader(IVertexShader* shader) override;
    void PSSetShader(IPixelShader* shader) override;
    void VSSetConstantBuffers(std::uint32_t startSlot, std::uint32_t numBuffers,
                              IBuffer* const* buffers) override;
    void PSSetShaderResources(std::uint32_t startSlot, std::uint32_t numViews,
                              IShaderResourceView* const* views) override;
    void PSSetSamplers(std::uint32_t startSlot, std::uint32_t numSamplers,
                       ISamplerState* const* samplers) override;
    void ClearRenderTargetView(IRenderTargetView* view, const float colorRgba[4]) override;
    void ClearDepthStencilView(IDepthStencilView* view, std::uint32_t clearFlags, float depth,
                               std::uint8_t stencil) override;
    void UpdateSubresource(IResource* resource, std::uint32_t subresource, const Box* box,
                           const void* srcData, std::uint32_t srcRowPitch,
                           std::uint32_t srcDepthPitch) override;
    void DrawIndexed(std::uint32_t indexCount, std::uint32_t startIndex, std::int32_t baseVertex) override;
};

class D3D11Device : public D3D11Object<IDevice, ID3D11Device> {
public:
    // Keeps a reference to the wrapper of the device's immediate context.
    D3D11Device(ID3D11Device* owned, D3D11DeviceContext* immediateContext);
    ~D3D11Device() override;

    HRESULT CreateBuffer(const BufferDesc* desc, const SubresourceData* initialData,
                         IBuffer** buffer) override;
    HRESULT CreateTexture1D(const Texture1DDesc* desc, const SubresourceData* initialData,
                            ITexture1D** texture) override;
    HRESULT CreateTexture2D(const Texture2DDesc* desc, const SubresourceData* initialData,
                            ITexture2D** texture) override;
    HRESULT CreateTexture3D(const Texture3DDesc* desc, const SubresourceData* initialData,
                            ITexture3D** texture) override;
    HRESULT CreateShaderResourceView(IResource* resource, const ShaderResourceViewDesc* desc,
                                     IShaderResourceView** view) override;
    HRESULT CreateRenderTargetView(IResource* resource, const RenderTargetViewDesc* desc,
                                   IRenderTargetView** view) override;
    HRESULT CreateDepthStencilView(IResource* resource, const DepthStencilViewDesc* desc,
                                   IDepthStencilView** view) override;
    HRESULT CreateSamplerState(const SamplerDesc* desc, ISamplerState** sampler) override;
    HRESULT CreateRasterizerState(const RasterizerDesc* desc, IRasterizerState** state) override;
    HRESULT CreateVertexShader(const void* bytecode, std::size_t length, IVertexShader** shader) override;
    HRESULT CreatePixelShader(const void* bytecode, std::size_t length, IPixelShader** shader) override;
    HRESULT CreateInputLayout(const InputElementDesc* elements, std::uint32_t numElements,
                              const void* vertexShaderBytecode, std::size_t length,
                              IInputLayout** layout) override;
    FeatureLevel GetFeatureLevel() const override;
    // Unless it was made single-threaded: the wrappers themselves share no state between objects.
    bool CreatesResourcesOnAnyThread() const override;
    void GetImmediateContext(IDeviceContext** context) override;
    ShaderLanguage GetShaderLanguage() const override { return ShaderLanguage::Dxbc; }

private:
    D3D11DeviceContext* const immediateContext;
};

// A texture like the back buffer that only copies go to, to keep the presented frame for read-back.
HRESULT CreatePresentedCopy(ID3D11Device* device, ID3D11Texture2D* backBuffer, ID3D11Texture2D** copy);

class D3D11SwapChain : public D3D11Object<ISwapChain, IDXGISwapChain> {
public:
    // Takes over the reference on `owned` (null for an offscreen swap chain, which presents to no window)
    // and adds its own to `buffer` (the wrapper of back buffer 0),
    // `presentedCopy` (a default-usage texture like the back buffer) and the device and context, with
    // which it keeps and reads back the presented image.
    D3D11SwapChain(IDXGISwapChain* owned, D3D11Texture2D* buffer, ID3D11Texture2D* presentedCopy,
                   ID3D11Device* device, ID3D11DeviceContext* context);
    ~D3D11SwapChain() override;

    HRESULT GetBuffer(std::uint32_t index, ITexture2D** buffer) override;
    // Copies the back buffer aside (the swap chain discards it), then presents.
    HRESULT Present(std::uint32_t syncInterval, std::uint32_t flags) override;
    // Lets go of the back buffer and its copy, resizes (or, offscreen, remakes) the buffer, and takes
    // the new one with a new copy. Should that fail, the swap chain takes whatever buffer it has then.
    HRESULT ResizeBuffers(std::uint32_t bufferCount, std::uint32_t width, std::uint32_t height,
                          Format newFormat, std::uint32_t flags) override;
    HRESULT ReadPresentedImage(PresentedImage* image) override;

private:
    // Takes back buffer 0 of the DXGI swap chain, or for an offscreen one makes a texture like
    // `described`, with a copy for the presented frame.
    HRESULT TakeBuffers(const D3D11_TEXTURE2D_DESC& described);

    D3D11Texture2D* backBuffer; // null only after a failed resize
    Ref<ID3D11Texture2D> presented;
    Ref<ID3D11Device> device;
    Ref<ID3D11DeviceContext> context;
    bool hasPresented = false;
};

} // namespace tavro::gpu::d3d11
