#include "render/RendererState.h"

#include "render/Camera.h"
#include "render/RenderModel.h"
#include "render/ShaderSources.h"

#include <array>
#include <utility>

namespace tavro {
namespace {

// Tried in this order: the first that yields a device wins.
constexpr gpu::DriverType kDriverTypes[] = {gpu::DriverType::Hardware, gpu::DriverType::Warp,
                                            gpu::DriverType::Reference};
constexpr gpu::FeatureLevel kFeatureLevels[] = {gpu::FeatureLevel::Level11_0, gpu::FeatureLevel::Level10_1,
                                                gpu::FeatureLevel::Level10_0};

// The vertex layout of CG1MVertex: position, normal, texture coordinate in slot 0.
constexpr gpu::InputElementDesc kInputElements[] = {
    {"POSITION", 0, gpu::Format::R32G32B32_Float, 0, 0, gpu::InputClassification::PerVertexData, 0},
    {"NORMAL", 0, gpu::Format::R32G32B32_Float, 0, 12, gpu::InputClassification::PerVertexData, 0},
    {"TEXCOORD", 0, gpu::Format::R32G32_Float, 0, 24, gpu::InputClassification::PerVertexData, 0},
};

gpu::SwapChainDesc MakeSwapChainDesc(gpu::WindowHandle window, ClientSize size) {
    gpu::SwapChainDesc desc{};
    desc.bufferCount = 1;
    desc.bufferDesc.width = size.width;
    desc.bufferDesc.height = size.height;
    desc.bufferDesc.format = gpu::Format::R8G8B8A8_UNorm;
    desc.bufferDesc.refreshRate = {60, 1};
    desc.bufferUsage = gpu::kUsageRenderTargetOutput;
    desc.outputWindow = window;
    desc.sampleDesc = {1, 0};
    desc.windowed = true;
    return desc;
}

bool CreateDeviceOnFirstDriver(RendererState& state, gpu::IDeviceFactory& factory,
                               const gpu::SwapChainDesc& desc) {
    for (gpu::DriverType driverType : kDriverTypes) {
        gpu::FeatureLevel obtained{};
        const HRESULT hr = factory.CreateDeviceAndSwapChain(
            driverType, 0, kFeatureLevels, static_cast<std::uint32_t>(std::size(kFeatureLevels)),
            gpu::kSdkVersion, &desc, state.swapChain.Put(), state.device.Put(), &obtained,
            state.context.Put());
        if (Succeeded(hr)) {
            return true;
        }
    }
    return false;
}

bool CreateRenderTarget(RendererState& state) {
    gpu::Ref<gpu::ITexture2D> backBuffer;
    if (Failed(state.swapChain->GetBuffer(0, backBuffer.Put()))) {
        return false;
    }
    // The view keeps the back buffer alive; our own reference goes with backBuffer either way.
    return Succeeded(
        state.device->CreateRenderTargetView(backBuffer.Get(), nullptr, state.renderTargetView.Put()));
}

bool CreateDepthBuffer(RendererState& state, ClientSize size) {
    gpu::Texture2DDesc textureDesc{};
    textureDesc.width = size.width;
    textureDesc.height = size.height;
    textureDesc.mipLevels = 1;
    textureDesc.arraySize = 1;
    textureDesc.format = gpu::Format::D24_UNorm_S8_UInt;
    textureDesc.sampleDesc = {1, 0};
    textureDesc.usage = gpu::Usage::Default;
    textureDesc.bindFlags = gpu::kBindDepthStencil;
    if (Failed(state.device->CreateTexture2D(&textureDesc, nullptr, state.depthStencilTexture.Put()))) {
        return false;
    }
    gpu::DepthStencilViewDesc viewDesc{};
    viewDesc.format = gpu::Format::D24_UNorm_S8_UInt;
    viewDesc.viewDimension = gpu::DsvDimension::Texture2D;
    viewDesc.texture2D.mipSlice = 0;
    return Succeeded(state.device->CreateDepthStencilView(state.depthStencilTexture.Get(), &viewDesc,
                                                          state.depthStencilView.Put()));
}

// The render target and depth buffer of `size` over the swap chain's back buffer, with the viewport,
// bound to the output merger.
bool CreateRenderTargets(RendererState& state, ClientSize size) {
    if (!CreateRenderTarget(state)) {
        return false;
    }
    gpu::IDeviceContext& context = *state.context.Get();
    const gpu::Viewport viewport{0.0f, 0.0f, static_cast<float>(size.width), static_cast<float>(size.height),
                                 0.0f, 1.0f};
    context.RSSetViewports(1, &viewport);

    if (!CreateDepthBuffer(state, size)) {
        return false;
    }
    gpu::IRenderTargetView* const renderTargets[] = {state.renderTargetView.Get()};
    context.OMSetRenderTargets(1, renderTargets, state.depthStencilView.Get());
    state.targetSize = size;
    return true;
}

bool CreateSampler(RendererState& state) {
    gpu::SamplerDesc desc{};
    desc.filter = gpu::Filter::MinMagMipLinear;
    desc.addressU = gpu::TextureAddressMode::Wrap;
    desc.addressV = gpu::TextureAddressMode::Wrap;
    desc.addressW = gpu::TextureAddressMode::Wrap;
    desc.comparisonFunc = gpu::ComparisonFunc::Never;
    desc.maxLod = gpu::kFloat32Max;
    return Succeeded(state.device->CreateSamplerState(&desc, state.samplerState.Put()));
}

} // namespace

RendererState::RendererState() = default;

RendererState::~RendererState() {
    currentModel.reset();
    wireframeState.Reset();
    litPixelShader.Reset();
    litVertexShader.Reset();
    pixelShader.Reset();
    inputLayout.Reset();
    vertexShader.Reset();
    samplerState.Reset();
    depthStencilView.Reset();
    depthStencilTexture.Reset();
    renderTargetView.Reset();
    swapChain.Reset();
    context.Reset();
    device.Reset();
}

bool InitDevice(RendererState& state, gpu::IDeviceFactory& factory, gpu::WindowHandle window,
                RenderHost host) {
    state.window = window;
    state.host = std::move(host);
    const ClientSize size = state.host.clientSize();

    const gpu::SwapChainDesc swapChainDesc = MakeSwapChainDesc(window, size);
    if (!CreateDeviceOnFirstDriver(state, factory, swapChainDesc) || !CreateRenderTargets(state, size)) {
        return false;
    }
    gpu::IDeviceContext& context = *state.context.Get();

    if (!CreateSampler(state)) {
        return false;
    }
    gpu::ISamplerState* const samplers[] = {state.samplerState.Get()};
    context.PSSetSamplers(0, 1, samplers);

    const gpu::ShaderLanguage language = state.device->GetShaderLanguage();
    const std::span<const std::byte> vertexShader = ModelVertexShader(language);
    if (Failed(state.device->CreateVertexShader(vertexShader.data(), vertexShader.size(),
                                                state.vertexShader.Put()))) {
        return false;
    }
    context.VSSetShader(state.vertexShader.Get());

    if (Failed(state.device->CreateInputLayout(
            kInputElements, static_cast<std::uint32_t>(std::size(kInputElements)), vertexShader.data(),
            vertexShader.size(), state.inputLayout.Put()))) {
        return false;
    }
    context.IASetInputLayout(state.inputLayout.Get());

    const std::span<const std::byte> pixelShader = ModelPixelShader(language);
    if (Failed(state.device->CreatePixelShader(pixelShader.data(), pixelShader.size(),
                                               state.pixelShader.Put()))) {
        return false;
    }
    context.PSSetShader(state.pixelShader.Get());

    // Every model is drawn as indexed triangle strips.
    context.IASetPrimitiveTopology(gpu::PrimitiveTopology::TriangleStrip);
    return true;
}

bool ResizeRenderTargets(RendererState& state, ClientSize size) {
    const bool sameSize = size.width == state.targetSize.width && size.height == state.targetSize.height;
    if (size.width == 0 || size.height == 0 || !state.swapChain || !state.context ||
        (sameSize && state.renderTargetView)) {
        return true;
    }
    // The swap chain resizes only a back buffer that nothing else holds: the bound views and ours go first.
    state.context->OMSetRenderTargets(0, nullptr, nullptr);
    state.renderTargetView.Reset();
    state.depthStencilView.Reset();
    state.depthStencilTexture.Reset();
    if (Failed(state.swapChain->ResizeBuffers(1, size.width, size.height, gpu::Format::Unknown, 0))) {
        CreateRenderTargets(state, state.targetSize);
        return false;
    }
    return CreateRenderTargets(state, size);
}

void RenderCurrentModel(RendererState& state) {
    if (state.currentModel) {
        state.currentModel->Render();
    }
}

void BindModelPipeline(RendererState& state) {
    gpu::IDeviceContext& context = *state.context.Get();
    context.IASetInputLayout(state.inputLayout.Get());
    context.IASetPrimitiveTopology(gpu::PrimitiveTopology::TriangleStrip);
    context.VSSetShader(state.vertexShader.Get());
    context.PSSetShader(state.pixelShader.Get());
    if (state.wireframeState) {
        context.RSSetState(nullptr);
    }
}

bool BindModelLook(RendererState& state, const ViewOptions& view) {
    gpu::IDeviceContext& context = *state.context.Get();
    bool complete = true;
    if (view.lit) {
        const gpu::ShaderLanguage language = state.device->GetShaderLanguage();
        if (!state.litVertexShader) {
            const std::span<const std::byte> code = ModelLitVertexShader(language);
            state.device->CreateVertexShader(code.data(), code.size(), state.litVertexShader.Put());
        }
        if (!state.litPixelShader) {
            const std::span<const std::byte> code = ModelLitPixelShader(language);
            state.device->CreatePixelShader(code.data(), code.size(), state.litPixelShader.Put());
        }
        if (state.litVertexShader && state.litPixelShader) {
            context.VSSetShader(state.litVertexShader.Get());
            context.PSSetShader(state.litPixelShader.Get());
        } else {
            complete = false;
        }
    }
    if (view.wireframe) {
        if (!state.wireframeState) {
            const gpu::RasterizerDesc desc{gpu::FillMode::Wireframe, gpu::CullMode::Back, false};
            state.device->CreateRasterizerState(&desc, state.wireframeState.Put());
        }
        if (state.wireframeState) {
            context.RSSetState(state.wireframeState.Get());
        } else {
            complete = false;
        }
    }
    return complete;
}

void RenderFrameWithoutModel(RendererState& state) {
    const ClientSize client = state.host.clientSize();
    if (client.width == 0 || client.height == 0 || !state.context || !state.swapChain) {
        return;
    }
    gpu::IDeviceContext& context = *state.context.Get();
    context.ClearRenderTargetView(state.renderTargetView.Get(), state.view.background.data());
    context.ClearDepthStencilView(state.depthStencilView.Get(), gpu::kClearDepth, kClearDepthValue, 0);
    if (state.overlay != nullptr) {
        state.overlay->Draw(state, client);
    }
    state.swapChain->Present(0, 0);
}

} // namespace tavro
