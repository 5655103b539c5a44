#include "gpu/recording/RecordingFactory.h"
#include "gpu/recording/RecordingObjects.h"

#include <new>

namespace tavro::gpu::recording {
namespace {

std::uint64_t SubresourceCount(const Texture1DDesc& desc) {
    return std::uint64_t{desc.mipLevels} * desc.arraySize;
}
std::uint64_t SubresourceCount(const Texture2DDesc& desc) {
    return std::uint64_t{desc.mipLevels} * desc.arraySize;
}
std::uint64_t SubresourceCount(const Texture3DDesc& desc) {
    return desc.mipLevels;
}

std::vector<SubresourceData> CopyTable(const SubresourceData* table, std::uint64_t count) {
    if (table == nullptr)
        return {};
    return std::vector<SubresourceData>(table, table + count);
}

std::vector<std::uint8_t> CopyBytes(const void* bytes, std::size_t length) {
    if (bytes == nullptr)
        return {};
    const auto* begin = static_cast<const std::uint8_t*>(bytes);
    return std::vector<std::uint8_t>(begin, begin + length);
}

} // namespace

HRESULT RecordingDevice::Decide(std::string_view name, const Validation& validation, const void* out,
                                const char** reason) {
    const HRESULT planned = recorder.TakePlannedResult(name);
    *reason = validation.reason;
    if (!validation.Ok())
        return validation.result;
    if (Failed(planned)) {
        *reason = "planned failure";
        return planned;
    }
    return out == nullptr ? kS_FALSE : kS_OK;
}

HRESULT RecordingDevice::CreateBuffer(const BufferDesc* desc, const SubresourceData* initialData,
                                      IBuffer** buffer) try {
    const char* reason = nullptr;
    const HRESULT hr =
        Decide(CreateBufferArgs::kName, ValidateBufferDesc(desc, initialData), buffer, &reason);
    CreateBufferArgs args{desc != nullptr ? *desc : BufferDesc{}, initialData != nullptr, {}, 0};
    if (Succeeded(hr) && initialData != nullptr)
        args.initialBytes = CopyBytes(initialData->sysMem, desc->byteWidth);
    if (hr == kS_OK) {
        auto* made = new RecordingBuffer(recorder, "Buffer", *desc);
        args.buffer = made->id;
        *buffer = made;
    }
    recorder.Record({id, hr, reason, std::move(args)});
    return hr;
} catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY; // the copy of the initial data could not be kept
}

template <typename Args, typename Object, typename Desc, typename Interface>
HRESULT RecordingDevice::CreateTexture(const Desc* desc, const SubresourceData* initialData,
                                       Interface** texture,
                                       Validation (*validate)(const Desc*, const SubresourceData*, Desc*),
                                       const char* kind) {
    Desc resolved{};
    const Validation validation = validate(desc, initialData, &resolved);
    const char* reason = nullptr;
    const HRESULT hr = Decide(Args::kName, validation, texture, &reason);
    Args args{desc != nullptr ? *desc : Desc{}, {}, 0};
    if (validation.Ok())
        args.initialData = CopyTable(initialData, SubresourceCount(resolved));
    if (hr == kS_OK) {
        auto* made = new Object(recorder, kind, resolved);
        args.texture = made->id;
        *texture = made;
    }
    recorder.Record({id, hr, reason, std::move(args)});
    return hr;
}

HRESULT RecordingDevice::CreateTexture1D(const Texture1DDesc* desc, const SubresourceData* initialData,
                                         ITexture1D** texture) {
    return CreateTexture<CreateTexture1DArgs, RecordingTexture1D>(desc, initialData, texture,
                                                                  ValidateTexture1DDesc, "Texture1D");
}

HRESULT RecordingDevice::CreateTexture2D(const Texture2DDesc* desc, const SubresourceData* initialData,
                                         ITexture2D** texture) {
    return CreateTexture<CreateTexture2DArgs, RecordingTexture2D>(desc, initialData, texture,
                                                                  ValidateTexture2DDesc, "Texture2D");
}

HRESULT RecordingDevice::CreateTexture3D(const Texture3DDesc* desc, const SubresourceData* initialData,
                                         ITexture3D** texture) {
    return CreateTexture<CreateTexture3DArgs, RecordingTexture3D>(desc, initialData, texture,
                                                                  ValidateTexture3DDesc, "Texture3D");
}

HRESULT RecordingDevice::CreateShaderResourceView(IResource* resource, const ShaderResourceViewDesc* desc,
                                                  IShaderResourceView** view) {
    ShaderResourceViewDesc resolved{};
    const ResourceInfo* info = InfoOf(resource);
    const Validation validation = info == nullptr ? Validation::Refuse("no resource of this device")
                                                  : ResolveShaderResourceView(*info, desc, &resolved);
    const char* reason = nullptr;
    const HRESULT hr = Decide(CreateShaderResourceViewArgs::kName, validation, view, &reason);
    CreateShaderResourceViewArgs args{IdOf(resource), desc != nullptr,
                                      desc != nullptr ? *desc : ShaderResourceViewDesc{}, 0};
    if (hr == kS_OK) {
        auto* made = new RecordingView<IShaderResourceView, ShaderResourceViewDesc>(
            recorder, "ShaderResourceView", resource, resolved);
        args.view = made->id;
        *view = made;
    }
    recorder.Record({id, hr, reason, std::move(args)});
    return hr;
}

HRESULT RecordingDevice::CreateRenderTargetView(IResource* resource, const RenderTargetViewDesc* desc,
                                                IRenderTargetView** view) {
    RenderTargetViewDesc resolved{};
    const ResourceInfo* info = InfoOf(resource);
    const Validation validation = info == nullptr ? Validation::Refuse("no resource of this device")
                                                  : ResolveRenderTargetView(*info, desc, &resolved);
    const char* reason = nullptr;
    const HRESULT hr = Decide(CreateRenderTargetViewArgs::kName, validation, view, &reason);
    CreateRenderTargetViewArgs args{IdOf(resource), desc != nullptr,
                                    desc != nullptr ? *desc : RenderTargetViewDesc{}, 0};
    if (hr == kS_OK) {
        auto* made = new RecordingView<IRenderTargetView, RenderTargetViewDesc>(recorder, "RenderTargetView",
                                                                                resource, resolved);
        args.view = made->id;
        *view = made;
    }
    recorder.Record({id, hr, reason, std::move(args)});
    return hr;
}

HRESULT RecordingDevice::CreateDepthStencilView(IResource* resource, const DepthStencilViewDesc* desc,
                                                IDepthStencilView** view) {
    DepthStencilViewDesc resolved{};
    const ResourceInfo* info = InfoOf(resource);
    const Validation validation = info == nullptr ? Validation::Refuse("no resource of this device")
                                                  : ResolveDepthStencilView(*info, desc, &resolved);
    const char* reason = nullptr;
    const HRESULT hr = Decide(CreateDepthStencilViewArgs::kName, validation, view, &reason);
    CreateDepthStencilViewArgs args{IdOf(resource), desc != nullptr,
                                    desc != nullptr ? *desc : DepthStencilViewDesc{}, 0};
    if (hr == kS_OK) {
        auto* made = new RecordingView<IDepthStencilView, DepthStencilViewDesc>(recorder, "DepthStencilView",
                                                                                resource, resolved);
        args.view = made->id;
        *view = made;
    }
    recorder.Record({id, hr, reason, std::move(args)});
    return hr;
}

HRESULT RecordingDevice::CreateSamplerState(const SamplerDesc* desc, ISamplerState** sampler) {
    const char* reason = nullptr;
    const HRESULT hr = Decide(CreateSamplerStateArgs::kName, ValidateSamplerDesc(desc), sampler, &reason);
    CreateSamplerStateArgs args{desc != nullptr ? *desc : SamplerDesc{}, 0};
    if (hr == kS_OK) {
        auto* made = new RecordingSampler(recorder, *desc);
        args.sampler = made->id;
        *sampler = made;
    }
    recorder.Record({id, hr, reason, std::move(args)});
    return hr;
}

HRESULT RecordingDevice::CreateRasterizerState(const RasterizerDesc* desc, IRasterizerState** state) {
    const char* reason = nullptr;
    const HRESULT hr = Decide(CreateRasterizerStateArgs::kName, ValidateRasterizerDesc(desc), state, &reason);
    CreateRasterizerStateArgs args{desc != nullptr ? *desc : RasterizerDesc{}, 0};
    if (hr == kS_OK) {
        auto* made = new RecordingRasterizerState(recorder, *desc);
        args.state = made->id;
        *state = made;
    }
    recorder.Record({id, hr, reason, std::move(args)});
    return hr;
}

HRESULT RecordingDevice::CreateVertexShader(const void* bytecode, std::size_t length,
                                            IVertexShader** shader) {
    const char* reason = nullptr;
    const HRESULT hr =
        Decide(CreateVertexShaderArgs::kName, ValidateShaderBytecode(bytecode, length), shader, &reason);
    CreateVertexShaderArgs args{CopyBytes(bytecode, length), 0};
    if (hr == kS_OK) {
        auto* made = new RecordingPlainObject<IVertexShader>(recorder, "VertexShader");
        args.shader = made->id;
        *shader = made;
    }
    recorder.Record({id, hr, reason, std::move(args)});
    return hr;
}

HRESULT RecordingDevice::CreatePixelShader(const void* bytecode, std::size_t length, IPixelShader** shader) {
    const char* reason = nullptr;
    const HRESULT hr =
        Decide(CreatePixelShaderArgs::kName, ValidateShaderBytecode(bytecode, length), shader, &reason);
    CreatePixelShaderArgs args{CopyBytes(bytecode, length), 0};
    if (hr == kS_OK) {
        auto* made = new RecordingPlainObject<IPixelShader>(recorder, "PixelShader");
        args.shader = made->id;
        *shader = made;
    }
    recorder.Record({id, hr, reason, std::move(args)});
    return hr;
}

HRESULT RecordingDevice::CreateInputLayout(const InputElementDesc* elements, std::uint32_t numElements,
                                           const void* vertexShaderBytecode, std::size_t length,
                                           IInputLayout** layout) {
    const Validation validation = ValidateInputLayout(elements, numElements, vertexShaderBytecode, length);
    const char* reason = nullptr;
    const HRESULT hr = Decide(CreateInputLayoutArgs::kName, validation, layout, &reason);
    CreateInputLayoutArgs args{{}, CopyBytes(vertexShaderBytecode, length), 0};
    if (validation.Ok()) {
        for (std::uint32_t i = 0; i < numElements; ++i) {
            const InputElementDesc& e = elements[i];
            args.elements.push_back({e.semanticName, e.semanticIndex, e.format, e.inputSlot,
                                     e.alignedByteOffset, e.inputSlotClass, e.instanceDataStepRate});
        }
    }
    if (hr == kS_OK) {
        auto* made = new RecordingPlainObject<IInputLayout>(recorder, "InputLayout");
        args.layout = made->id;
        *layout = made;
    }
    recorder.Record({id, hr, reason, std::move(args)});
    return hr;
}

FeatureLevel RecordingDevice::GetFeatureLevel() const {
    recorder.Record({id, kS_OK, nullptr, GetFeatureLevelArgs{level}});
    return level;
}

void RecordingDevice::GetImmediateContext(IDeviceContext** out) {
    context->Retain();
    *out = context;
    recorder.Record({id, kS_OK, nullptr, GetImmediateContextArgs{context->id}});
}

HRESULT RecordingSwapChain::GetBuffer(std::uint32_t index, ITexture2D** buffer) {
    HRESULT hr = recorder.TakePlannedResult(GetBufferArgs::kName);
    const char* reason = Failed(hr) ? "planned failure" : nullptr;
    if (index != 0 || buffer == nullptr) {
        hr = kE_INVALIDARG;
        reason = "only buffer 0 exists";
    }
    if (Succeeded(hr)) {
        backBuffer->Retain();
        *buffer = backBuffer;
    }
    recorder.Record({id, hr, reason, GetBufferArgs{index, Succeeded(hr) ? backBuffer->id : 0}});
    return hr;
}

HRESULT RecordingSwapChain::Present(std::uint32_t syncInterval, std::uint32_t flags) {
    const HRESULT hr = recorder.TakePlannedResult(PresentArgs::kName);
    recorder.Record({id, hr, Failed(hr) ? "planned failure" : nullptr, PresentArgs{syncInterval, flags}});
    return hr;
}

HRESULT RecordingSwapChain::ResizeBuffers(std::uint32_t bufferCount, std::uint32_t width,
                                          std::uint32_t height, Format newFormat, std::uint32_t flags) {
    const HRESULT planned = recorder.TakePlannedResult(ResizeBuffersArgs::kName);
    Texture2DDesc desc{};
    backBuffer->GetDesc(&desc);
    const Validation request =
        ValidateResizeBuffers(bufferCount, width, height, newFormat, flags, desc.format, &desc.format);
    HRESULT hr = request.result;
    const char* reason = request.reason;
    if (Succeeded(hr) && backBuffer->References() != 1) {
        hr = kDXGI_ERROR_INVALID_CALL;
        reason = "the back buffer is still referenced";
    } else if (Succeeded(hr) && Failed(planned)) {
        hr = planned;
        reason = "planned failure";
    }
    ResizeBuffersArgs args{bufferCount, width, height, newFormat, flags, 0};
    if (Succeeded(hr)) {
        desc.width = width;
        desc.height = height;
        backBuffer->Drop();
        backBuffer = new RecordingTexture2D(recorder, "Texture2D (back buffer)", desc);
        args.buffer = backBuffer->id;
    }
    recorder.Record({id, hr, reason, args});
    return hr;
}

HRESULT RecordingSwapChain::ReadPresentedImage(PresentedImage*) {
    recorder.TakePlannedResult(ReadPresentedImageArgs::kName);
    recorder.Record({id, kE_NOTIMPL, "the recording backend draws nothing", ReadPresentedImageArgs{}});
    return kE_NOTIMPL;
}

HRESULT RecordingFactory::CreateDeviceAndSwapChain(DriverType driverType, std::uint32_t flags,
                                                   const FeatureLevel* featureLevels,
                                                   std::uint32_t numFeatureLevels, std::uint32_t sdkVersion,
                                                   const SwapChainDesc* desc, ISwapChain** swapChain,
                                                   IDevice** device, FeatureLevel* featureLevel,
                                                   IDeviceContext** context) {
    CreateDeviceAndSwapChainArgs args{
        driverType, flags, {}, sdkVersion,    desc != nullptr, desc != nullptr ? *desc : SwapChainDesc{},
        0,          0,     0,  FeatureLevel{}};
    const HRESULT planned = recorder.TakePlannedResult(CreateDeviceAndSwapChainArgs::kName);
    const Validation request = ValidateDeviceRequest(driverType, featureLevels, numFeatureLevels, sdkVersion,
                                                     desc, swapChain != nullptr, &args.featureLevels);
    HRESULT hr = request.result;
    const char* reason = request.reason;
    FeatureLevel obtained{};
    if (Succeeded(hr) && Failed(planned)) {
        hr = planned;
        reason = "planned failure";
    } else if (Succeeded(hr) &&
               !ChooseFeatureLevel(args.featureLevels, recorder.MaxFeatureLevel(), &obtained)) {
        hr = kDXGI_ERROR_UNSUPPORTED;
        reason = "no requested feature level offered";
    }
    if (Succeeded(hr)) {
        auto* madeContext = new RecordingContext(recorder);
        auto* madeDevice = new RecordingDevice(recorder, obtained, language, madeContext);
        args.device = madeDevice->id;
        args.context = madeContext->id;
        args.obtained = obtained;
        if (swapChain != nullptr) {
            Texture2DDesc backBufferDesc{};
            backBufferDesc.width = desc->bufferDesc.width;
            backBufferDesc.height = desc->bufferDesc.height;
            backBufferDesc.mipLevels = 1;
            backBufferDesc.arraySize = 1;
            backBufferDesc.format = desc->bufferDesc.format;
            backBufferDesc.sampleDesc = {1, 0};
            backBufferDesc.bindFlags = kBindRenderTarget;
            auto* made = new RecordingSwapChain(
                recorder, new RecordingTexture2D(recorder, "Texture2D (back buffer)", backBufferDesc));
            args.swapChain = made->id;
            *swapChain = made;
        }
        if (context != nullptr) {
            madeContext->Retain();
            *context = madeContext;
        }
        if (featureLevel != nullptr)
            *featureLevel = obtained;
        if (device != nullptr)
            *device = madeDevice;
        else
            madeDevice->Drop();
    }
    recorder.Record({0, hr, reason, std::move(args)});
    return hr;
}

} // namespace tavro::gpu::recording
