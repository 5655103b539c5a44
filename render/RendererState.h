#pragma once
// RendererState: the graphics objects that live for the whole run (device, context, swap chain, render
// target, depth buffer, sampler, shaders, input layout) and the model shown. InitDevice creates and
// binds the fixed pipeline once; nothing rebinds it later.
#include "gpu/Factory.h"
#include "gpu/Ref.h"
#include "render/RenderHost.h"
#include "render/ViewOptions.h"

#include <memory>

namespace tavro {

class CRenderModel;
class RendererState;

// Something drawn over every frame (text, for instance) before it is presented.
class IFrameOverlay {
public:
    virtual ~IFrameOverlay() = default;
    // Draws into the bound render target of a client area of this size. True when it drew: it then
    // leaves the fixed pipeline of InitDevice bound again, but not the model's buffers and texture.
    virtual bool Draw(RendererState& state, ClientSize client) = 0;
};

class RendererState {
public:
    RendererState();
    RendererState(const RendererState&) = delete;
    RendererState& operator=(const RendererState&) = delete;
    // Destroys the current model and the looks' objects, then releases pixelShader, inputLayout,
    // vertexShader, samplerState, depthStencilView, depthStencilTexture, renderTargetView, swapChain, context
    // and device, in that order, each only if set.
    ~RendererState();

    gpu::WindowHandle window = nullptr;
    RenderHost host;
    gpu::Ref<gpu::IDevice> device;
    gpu::Ref<gpu::IDeviceContext> context;
    gpu::Ref<gpu::ISwapChain> swapChain;
    gpu::Ref<gpu::IRenderTargetView> renderTargetView;
    gpu::Ref<gpu::ITexture2D> depthStencilTexture;
    gpu::Ref<gpu::IDepthStencilView> depthStencilView;
    gpu::Ref<gpu::ISamplerState> samplerState;
    gpu::Ref<gpu::IVertexShader> vertexShader;
    gpu::Ref<gpu::IInputLayout> inputLayout;
    gpu::Ref<gpu::IPixelShader> pixelShader;
    // The lit and wireframe looks' objects, made the first time a frame asks for them.
    gpu::Ref<gpu::IVertexShader> litVertexShader;
    gpu::Ref<gpu::IPixelShader> litPixelShader;
    gpu::Ref<gpu::IRasterizerState> wireframeState;
    // The model shown, or null; written by the model cycler.
    std::unique_ptr<CRenderModel> currentModel;
    // The size of the back buffer, the depth buffer and the viewport.
    ClientSize targetSize;
    // How the user looks at it; the default view unless changed.
    ViewOptions view;
    // Drawn over each frame when set; must outlive its use here.
    IFrameOverlay* overlay = nullptr;
};

// Creates the device (hardware, then WARP, then reference driver), a one-buffer swap chain on window of
// the host's client size, the render target, depth buffer, viewport, sampler, shaders and input layout,
// binds them with strip topology, and stores everything in state. False at the first failure; what was
// made so far stays in state for its destructor. Only ResizeRenderTargets changes the sizes afterwards.
bool InitDevice(RendererState& state, gpu::IDeviceFactory& factory, gpu::WindowHandle window,
                RenderHost host);

// Gives the back buffer, the depth buffer and the viewport the size `size`, bound as InitDevice binds
// them, so that a resized window is drawn at its own resolution. Does nothing for the size they have
// or an empty one. When the swap chain cannot take the new size, the targets are made again at the
// old one and false is returned; false too when even that fails (no target is bound then).
bool ResizeRenderTargets(RendererState& state, ClientSize size);

// Draws and presents one frame of the current model; does nothing (no clear, no present) without one.
void RenderCurrentModel(RendererState& state);

// Binds the fixed pipeline of InitDevice again (shaders, input layout, strip topology, the default
// rasterizer state), for a drawer that changed it.
void BindModelPipeline(RendererState& state);

// Binds the shaders and rasterizer state of the view's look (lit, wireframe), making them on first
// use. False when one cannot be made: that part of the look stays the default one.
bool BindModelLook(RendererState& state, const ViewOptions& view);

// Presents a frame without a model: the background, and the overlay when set. Nothing for an empty
// client area.
void RenderFrameWithoutModel(RendererState& state);

} // namespace tavro
