#include "gpu/Validation.h"
#include "gpu/d3d11/D3D11Objects.h"

#include <new>

namespace tavro::gpu::d3d11 {
namespace {

// Wraps a Direct3D object that a creating call just made, or releases it when the wrapper cannot be
// allocated. The out-pointer is written only on success, as the graphics layer promises. Callers make
// the creating call in a statement of its own: as another argument here, it could run after `made` is read.
template <typename Wrapper, typename Interface, typename Native, typename... Extra>
HRESULT Wrap(HRESULT created, Native* made, Interface** out, Extra... extra) {
    if (Failed(created))
        return created;
    if (made == nullptr)
        return kE_FAIL;
    Wrapper* wrapper = new (std::nothrow) Wrapper(made, extra...);
    if (wrapper == nullptr) {
        made->Release();
        return kE_OUTOFMEMORY;
    }
    *out = wrapper;
    return created;
}

// The number of initial-data entries a texture reads: mip levels (0 means the full chain) × array size;
// 0 for counts beyond what Direct3D 11 accepts, which are refused before any entry is read.
std::size_t SubresourceCount(std::uint32_t mipLevels, std::uint32_t arraySize, std::uint32_t width,
                             std::uint32_t height, std::uint32_t depth) {
    const std::uint32_t levels = mipLevels == 0 ? FullMipCount(width, height, depth) : mipLevels;
    if (levels > D3D11_REQ_MIP_LEVELS || arraySize > D3D11_REQ_TEXTURE2D_ARRAY_AXIS_DIMENSION)
        return 0;
    return std::size_t{levels} * arraySize;
}

template <typename Wrapper, typename Interface, typename Desc, typename NativeTexture, typename Create>
HRESULT CreateTexture(const Desc* desc, const SubresourceData* initialData, Interface** texture,
                      std::size_t subresources, Create create) try {
    if (desc == nullptr || texture == nullptr || (initialData != nullptr && subresources == 0))
        return kE_INVALIDARG;
    const auto nativeDesc = ToNative(*desc);
    std::vector<D3D11_SUBRESOURCE_DATA> nativeData;
    if (initialData != nullptr)
        nativeData = ToNative(initialData, subresources);
    NativeTexture* made = nullptr;
    const HRESULT hr = create(&nativeDesc, initialData != nullptr ? nativeData.data() : nullptr, &made);
    return Wrap<Wrapper>(hr, made, texture);
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

} // namespace

D3D11Device::D3D11Device(ID3D11Device* owned, D3D11DeviceContext* context)
    : D3D11Object(owned), immediateContext(context) {
    immediateContext->AddRef();
}

D3D11Device::~D3D11Device() {
    immediateContext->Release();
}

HRESULT D3D11Device::CreateBuffer(const BufferDesc* desc, const SubresourceData* initialData,
                                  IBuffer** buffer) {
    if (desc == nullptr || buffer == nullptr)
        return kE_INVALIDARG;
    const D3D11_BUFFER_DESC nativeDesc = ToNative(*desc);
    D3D11_SUBRESOURCE_DATA nativeData{};
    if (initialData != nullptr)
        nativeData = {initialData->sysMem, initialData->sysMemPitch, initialData->sysMemSlicePitch};
    ID3D11Buffer* made = nullptr;
    const HRESULT hr =
        native->CreateBuffer(&nativeDesc, initialData != nullptr ? &nativeData : nullptr, &made);
    return Wrap<D3D11Buffer>(hr, made, buffer);
}

HRESULT D3D11Device::CreateTexture1D(const Texture1DDesc* desc, const SubresourceData* initialData,
                                     ITexture1D** texture) {
    const std::size_t count =
        desc == nullptr ? 0 : SubresourceCount(desc->mipLevels, desc->arraySize, desc->width, 1, 1);
    return CreateTexture<D3D11Texture1D, ITexture1D, Texture1DDesc, ID3D11Texture1D>(
        desc, initialData, texture, count, [this](auto* d, auto* data, ID3D11Texture1D** made) {
            return native->CreateTexture1D(d, data, made);
        });
}

HRESULT D3D11Device::CreateTexture2D(const Texture2DDesc* desc, const SubresourceData* initialData,
                                     ITexture2D** texture) {
    const std::size_t count =
        desc == nullptr ? 0
                        : SubresourceCount(desc->mipLevels, desc->arraySize, desc->width, desc->height, 1);
    return CreateTexture<D3D11Texture2D, ITexture2D, Texture2DDesc, ID3D11Texture2D>(
        desc, initialData, texture, count, [this](auto* d, auto* data, ID3D11Texture2D** made) {
            return native->CreateTexture2D(d, data, made);
        });
}

HRESULT D3D11Device::CreateTexture3D(const Texture3DDesc* desc, const SubresourceData* initialData,
                                     ITexture3D** texture) {
    const std::size_t count =
        desc == nullptr ? 0 : SubresourceCount(desc->mipLevels, 1, desc->width, desc->height, desc->depth);
    return CreateTexture<D3D11Texture3D, ITexture3D, Texture3DDesc, ID3D11Texture3D>(
        desc, initialData, texture, count, [this](auto* d, auto* data, ID3D11Texture3D** made) {
            return native->CreateTexture3D(d, data, made);
        });
}

HRESULT D3D11Device::CreateShaderResourceView(IResource* resource, const ShaderResourceViewDesc* desc,
                                              IShaderResourceView** view) {
    ID3D11Resource* nativeResource = NativeResourceOf(resource);
    D3D11_SHADER_RESOURCE_VIEW_DESC nativeDesc{};
    if (nativeResource == nullptr || view == nullptr || (desc != nullptr && !ToNative(*desc, &nativeDesc)))
        return kE_INVALIDARG;
    ID3D11ShaderResourceView* made = nullptr;
    const HRESULT hr =
        native->CreateShaderResourceView(nativeResource, desc != nullptr ? &nativeDesc : nullptr, &made);
    return Wrap<D3D11ShaderResourceView>(hr, made, view, resource);
}

HRESULT D3D11Device::CreateRenderTargetView(IResource* resource, const RenderTargetViewDesc* desc,
                                            IRenderTargetView** view) {
    ID3D11Resource* nativeResource = NativeResourceOf(resource);
    D3D11_RENDER_TARGET_VIEW_DESC nativeDesc{};
    if (nativeResource == nullptr || view == nullptr || (desc != nullptr && !ToNative(*desc, &nativeDesc)))
        return kE_INVALIDARG;
    ID3D11RenderTargetView* made = nullptr;
    const HRESULT hr =
        native->CreateRenderTargetView(nativeResource, desc != nullptr ? &nativeDesc : nullptr, &made);
    return Wrap<D3D11RenderTargetView>(hr, made, view, resource);
}

HRESULT D3D11Device::CreateDepthStencilView(IResource* resource, const DepthStencilViewDesc* desc,
                                            IDepthStencilView** view) {
    ID3D11Resource* nativeResource = NativeResourceOf(resource);
    D3D11_DEPTH_STENCIL_VIEW_DESC nativeDesc{};
    if (nativeResource == nullptr || view == nullptr || (desc != nullptr && !ToNative(*desc, &nativeDesc)))
        return kE_INVALIDARG;
    ID3D11DepthStencilView* made = nullptr;
    const HRESULT hr =
        native->CreateDepthStencilView(nativeResource, desc != nullptr ? &nativeDesc : nullptr, &made);
    return Wrap<D3D11DepthStencilView>(hr, made, view, resource);
}

HRESULT D3D11Device::CreateRasterizerState(const RasterizerDesc* desc, IRasterizerState** state) {
    if (desc == nullptr || state == nullptr)
        return kE_INVALIDARG;
    D3D11_RASTERIZER_DESC nativeDesc{};
    nativeDesc.FillMode = static_cast<D3D11_FILL_MODE>(desc->fillMode);
    nativeDesc.CullMode = static_cast<D3D11_CULL_MODE>(desc->cullMode);
    nativeDesc.FrontCounterClockwise = desc->frontCounterClockwise ? TRUE : FALSE;
    nativeDesc.DepthClipEnable = TRUE;
    ID3D11RasterizerState* made = nullptr;
    const HRESULT hr = native->CreateRasterizerState(&nativeDesc, &made);
    return Wrap<D3D11RasterizerState>(hr, made, state);
}

HRESULT D3D11Device::CreateSamplerState(const SamplerDesc* desc, ISamplerState** sampler) {
    if (desc == nullptr || sampler == nullptr)
        return kE_INVALIDARG;
    const D3D11_SAMPLER_DESC nativeDesc = ToNative(*desc);
    ID3D11SamplerState* made = nullptr;
    const HRESULT hr = native->CreateSamplerState(&nativeDesc, &made);
    return Wrap<D3D11SamplerState>(hr, made, sampler);
}

HRESULT D3D11Device::CreateVertexShader(const void* bytecode, std::size_t length, IVertexShader** shader) {
    if (bytecode == nullptr || length == 0 || shader == nullptr)
        return kE_INVALIDARG;
    ID3D11VertexShader* made = nullptr;
    const HRESULT hr = native->CreateVertexShader(bytecode, length, nullptr, &made);
    return Wrap<D3D11VertexShader>(hr, made, shader);
}

HRESULT D3D11Device::CreatePixelShader(const void* bytecode, std::size_t length, IPixelShader** shader) {
    if (bytecode == nullptr || length == 0 || shader == nullptr)
        return kE_INVALIDARG;
    ID3D11PixelShader* made = nullptr;
    const HRESULT hr = native->CreatePixelShader(bytecode, length, nullptr, &made);
    return Wrap<D3D11PixelShader>(hr, made, shader);
}

HRESULT D3D11Device::CreateInputLayout(const InputElementDesc* elements, std::uint32_t numElements,
                                       const void* vertexShaderBytecode, std::size_t length,
                                       IInputLayout** layout) try {
    if (elements == nullptr || numElements == 0 || numElements > kMaxInputElements ||
        vertexShaderBytecode == nullptr || length == 0 || layout == nullptr)
        return kE_INVALIDARG;
    for (std::uint32_t i = 0; i < numElements; ++i) {
        if (elements[i].semanticName == nullptr)
            return kE_INVALIDARG;
    }
    const std::vector<D3D11_INPUT_ELEMENT_DESC> nativeElements = ToNative(elements, numElements);
    ID3D11InputLayout* made = nullptr;
    const HRESULT hr =
        native->CreateInputLayout(nativeElements.data(), numElements, vertexShaderBytecode, length, &made);
    return Wrap<D3D11InputLayout>(hr, made, layout);
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
}

FeatureLevel D3D11Device::GetFeatureLevel() const {
    return static_cast<FeatureLevel>(native->GetFeatureLevel());
}

bool D3D11Device::CreatesResourcesOnAnyThread() const {
    return (native->GetCreationFlags() & D3D11_CREATE_DEVICE_SINGLETHREADED) == 0;
}

void D3D11Device::GetImmediateContext(IDeviceContext** context) {
    immediateContext->AddRef();
    *context = immediateContext;
}

} // namespace tavro::gpu::d3d11
