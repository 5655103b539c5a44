#pragma once
// The OpenGL backend's object classes (internal to gpu/opengl).
#include "gpu/Ref.h"
#include "gpu/RefCounted.h"
#include "gpu/Validation.h"
#include "gpu/opengl/GLContext.h"
#include "gpu/opengl/GLFormats.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace tavro::gpu::opengl {

// What every object of one device shares: the context, made current before any OpenGL call, and the
// programs linked from vertex and pixel shader pairs. The thread that made the device draws with its
// context; other threads may create and release objects through worker contexts sharing it, when the
// context offers them.
class GLShared {
public:
    // Made on the thread the device belongs to, with glContext current there.
    explicit GLShared(IGLContext& glContext);
    GLShared(const GLShared&) = delete;
    GLShared& operator=(const GLShared&) = delete;
    ~GLShared();

    // Makes a context of this device current on the calling thread unless one already is: the device's
    // own on its thread, elsewhere this thread's worker context (made on first use). False when no
    // worker context can be made.
    bool Use();
    // Notes that the context was made current by its own Create.
    void NoteCurrent();
    // Whether threads other than the device's may create objects (the context offers worker contexts).
    bool CreatesOnAnyThread() const;
    // On a thread other than the device's, waits until what this thread's context was asked to do is
    // done, so the objects it made are complete for the device's context.
    void FinishOffOwnerThread() const;

    // The program linking the two shaders (by serial), linked on first use; 0 when linking fails.
    GLuint ProgramFor(std::uint64_t vertexSerial, GLuint vertexShader, std::uint64_t pixelSerial,
                      GLuint pixelShader);
    // Deletes the programs that use the shader with this serial.
    void ForgetShader(std::uint64_t serial);
    std::uint64_t NextSerial() { return ++lastSerial; }

    IGLContext& context;

private:
    const std::uint64_t deviceSerial; // tells this device's contexts apart from those of devices gone before
    const std::thread::id ownerThread;
    std::map<std::pair<std::uint64_t, std::uint64_t>, GLuint> programs;
    std::uint64_t lastSerial = 0;
};

using SharedState = std::shared_ptr<GLShared>;

template <typename Interface>
class GLObject : public RefCounted<Interface> {
protected:
    explicit GLObject(SharedState sharedState) : shared(std::move(sharedState)) {}
    SharedState shared;
};

// What the context and views need to know of any resource: its description and its OpenGL name.
class GLResourceState {
public:
    GLResourceState(const ResourceInfo& resourceInfo, GLuint glName, GLenum glTarget)
        : info(resourceInfo), name(glName), target(glTarget) {}
    virtual ~GLResourceState() = default;

    const ResourceInfo info;
    const GLuint name;   // buffer or texture
    const GLenum target; // texture target; 0 for buffers
};

inline GLResourceState* StateOf(IResource* resource) {
    return resource == nullptr ? nullptr : dynamic_cast<GLResourceState*>(resource);
}

class GLBuffer : public GLObject<IBuffer>, public GLResourceState {
public:
    GLBuffer(SharedState sharedState, const BufferDesc& bufferDesc, GLuint buffer)
        : GLObject(std::move(sharedState)), GLResourceState(DescribeResource(bufferDesc), buffer, 0),
          desc(bufferDesc) {}
    ~GLBuffer() override;
    ResourceDimension GetType() const override { return ResourceDimension::Buffer; }
    void GetDesc(BufferDesc* out) const override { *out = desc; }

private:
    const BufferDesc desc;
};

template <typename Interface, typename Desc>
class GLTexture : public GLObject<Interface>, public GLResourceState {
public:
    GLTexture(SharedState sharedState, const Desc& resolvedDesc, GLuint texture, GLenum glTarget)
        : GLObject<Interface>(std::move(sharedState)),
          GLResourceState(DescribeResource(resolvedDesc), texture, glTarget), desc(resolvedDesc) {}
    ~GLTexture() override {
        this->shared->Use();
        glDeleteTextures(1, &name);
    }
    ResourceDimension GetType() const override { return info.dimension; }
    void GetDesc(Desc* out) const override { *out = desc; }

private:
    const Desc desc;
};

using GLTexture1D = GLTexture<ITexture1D, Texture1DDesc>;
using GLTexture2D = GLTexture<ITexture2D, Texture2DDesc>;
using GLTexture3D = GLTexture<ITexture3D, Texture3DDesc>;

// A view holds a reference to its resource for as long as it lives.
template <typename Interface, typename Desc>
class GLView : public GLObject<Interface> {
public:
    GLView(SharedState sharedState, IResource* viewed, const Desc& resolvedDesc)
        : GLObject<Interface>(std::move(sharedState)), resource(viewed), desc(resolvedDesc) {
        resource->AddRef();
    }
    ~GLView() override { resource->Release(); }

    void GetResource(IResource** out) override {
        resource->AddRef();
        *out = resource;
    }
    void GetDesc(Desc* out) const override { *out = desc; }

private:
    IResource* const resource;
    const Desc desc;
};

// A shader-resource view is an OpenGL texture view of its mip and array range.
class GLShaderResourceView : public GLView<IShaderResourceView, ShaderResourceViewDesc> {
public:
    GLShaderResourceView(SharedState sharedState, IResource* viewed,
                         const ShaderResourceViewDesc& resolvedDesc, GLuint viewTexture)
        : GLView(std::move(sharedState), viewed, resolvedDesc), texture(viewTexture) {}
    ~GLShaderResourceView() override;
    const GLuint texture;
};

// Render-target and depth-stencil views name one mip level and one array slice of a 2D texture.
struct GLAttachment {
    GLuint texture = 0;
    GLint level = 0;
    GLint layer = -1; // -1: the whole (non-array) texture
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

class GLRenderTargetView : public GLView<IRenderTargetView, RenderTargetViewDesc> {
public:
    GLRenderTargetView(SharedState sharedState, IResource* viewed, const RenderTargetViewDesc& resolvedDesc,
                       const GLAttachment& target)
        : GLView(std::move(sharedState), viewed, resolvedDesc), attachment(target) {}
    const GLAttachment attachment;
};

class GLDepthStencilView : public GLView<IDepthStencilView, DepthStencilViewDesc> {
public:
    GLDepthStencilView(SharedState sharedState, IResource* viewed, const DepthStencilViewDesc& resolvedDesc,
                       const GLAttachment& target, bool withStencil)
        : GLView(std::move(sharedState), viewed, resolvedDesc), attachment(target), hasStencil(withStencil) {}
    const GLAttachment attachment;
    const bool hasStencil;
};

class GLRasterizerState : public GLObject<IRasterizerState> {
public:
    GLRasterizerState(SharedState sharedState, const RasterizerDesc& rasterizerDesc)
        : GLObject(std::move(sharedState)), desc(rasterizerDesc) {}
    void GetDesc(RasterizerDesc* out) const override { *out = desc; }

    const RasterizerDesc desc;
};

class GLSampler : public GLObject<ISamplerState> {
public:
    GLSampler(SharedState sharedState, const SamplerDesc& samplerDesc, GLuint glSampler)
        : GLObject(std::move(sharedState)), sampler(glSampler), desc(samplerDesc) {}
    ~GLSampler() override;
    void GetDesc(SamplerDesc* out) const override { *out = desc; }
    const GLuint sampler;

private:
    const SamplerDesc desc;
};

template <typename Interface>
class GLShader : public GLObject<Interface> {
public:
    GLShader(SharedState sharedState, GLuint glShader)
        : GLObject<Interface>(std::move(sharedState)), shader(glShader), serial(this->shared->NextSerial()) {}
    ~GLShader() override {
        this->shared->Use();
        this->shared->ForgetShader(serial);
        glDeleteShader(shader);
    }
    const GLuint shader;
    const std::uint64_t serial;
};

using GLVertexShader = GLShader<IVertexShader>;
using GLPixelShader = GLShader<IPixelShader>;

// An input layout is a vertex array object with the attribute formats set; the vertex buffers are
// attached to it at draw time.
class GLInputLayout : public GLObject<IInputLayout> {
public:
    GLInputLayout(SharedState sharedState, GLuint vertexArray, std::uint32_t slotMask)
        : GLObject(std::move(sharedState)), vao(vertexArray), slots(slotMask) {}
    ~GLInputLayout() override;
    const GLuint vao;
    const std::uint32_t slots; // bit n: the layout reads vertex buffer slot n
};

// Holds one reference to what a context slot binds.
template <typename T>
void Hold(Ref<T>& slot, T* object) {
    if (object != nullptr)
        object->AddRef();
    slot = Ref<T>(object);
}

class GLDeviceContext : public GLObject<IDeviceContext> {
public:
    explicit GLDeviceContext(SharedState sharedState);
    ~GLDeviceContext() override;

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

    // Drops every binding (the device is going away).
    void ClearState();

private:
    // Applies the output and input bindings to OpenGL; false when nothing can be drawn.
    bool PrepareDraw();

    std::array<Ref<IRenderTargetView>, kMaxRenderTargets> renderTargets;
    Ref<IDepthStencilView> depthStencil;
    std::vector<Viewport> viewports;
    Ref<IRasterizerState> rasterizerState;
    Ref<IInputLayout> inputLayout;
    PrimitiveTopology topology = PrimitiveTopology::Undefined;
    std::array<Ref<IBuffer>, kMaxVertexBufferSlots> vertexBuffers;
    std::array<std::uint32_t, kMaxVertexBufferSlots> vertexStrides{};
    std::array<std::uint32_t, kMaxVertexBufferSlots> vertexOffsets{};
    Ref<IBuffer> indexBuffer;
    Format indexFormat = Format::Unknown;
    std::uint32_t indexOffset = 0;
    Ref<IVertexShader> vertexShader;
    Ref<IPixelShader> pixelShader;
    std::array<Ref<IBuffer>, kMaxConstantBufferSlots> constantBuffers;
    std::array<Ref<IShaderResourceView>, kMaxSamplerSlots> shaderResources; // units beyond 16 are not kept
    std::array<Ref<ISamplerState>, kMaxSamplerSlots> samplers;

    GLuint drawFramebuffer = 0;
    GLuint clearFramebuffer = 0;
    bool outputDirty = true;
};

class GLDevice : public GLObject<IDevice> {
public:
    GLDevice(SharedState sharedState, FeatureLevel obtained, GLDeviceContext* immediateContext)
        : GLObject(std::move(sharedState)), level(obtained), context(immediateContext) {}
    ~GLDevice() override;

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
    FeatureLevel GetFeatureLevel() const override { return level; }
    bool CreatesResourcesOnAnyThread() const override { return shared->CreatesOnAnyThread(); }
    void GetImmediateContext(IDeviceContext** out) override {
        context->AddRef();
        *out = context;
    }
    ShaderLanguage GetShaderLanguage() const override { return ShaderLanguage::Glsl; }

private:
    const FeatureLevel level;
    GLDeviceContext* const context; // one reference
};

class GLSwapChain : public GLObject<ISwapChain> {
public:
    GLSwapChain(SharedState sharedState, GLTexture2D* buffer, GLuint presentedTexture);
    ~GLSwapChain() override;

    HRESULT GetBuffer(std::uint32_t index, ITexture2D** buffer) override;
    HRESULT Present(std::uint32_t syncInterval, std::uint32_t flags) override;
    HRESULT ResizeBuffers(std::uint32_t bufferCount, std::uint32_t width, std::uint32_t height,
                          Format newFormat, std::uint32_t flags) override;
    HRESULT ReadPresentedImage(PresentedImage* image) override;

private:
    // Points the two framebuffers at the back buffer and the presented texture and takes their size.
    void AttachBuffers();
    // Shows the presented image in the window, scaled to its drawable, with the window's chrome on top.
    void ShowInWindow();

    GLTexture2D* backBuffer; // one reference
    GLuint presented;        // the last presented image, same size and format as the back buffer
    GLuint readFramebuffer = 0;
    GLuint drawFramebuffer = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool hasPresented = false;
};

// Creates a 2D texture (used for the swap chain's back buffer as well as by the device).
HRESULT MakeTexture2D(const SharedState& shared, const Texture2DDesc* desc,
                      const SubresourceData* initialData, ITexture2D** texture);

// The swap chain's back buffer of desc's size and format, and the texture that keeps its presented image
// (the caller's to delete). Nothing is left made on failure.
HRESULT MakeSwapChainBuffers(const SharedState& shared, const Texture2DDesc& desc, ITexture2D** backBuffer,
                             GLuint* presented);

// Sets the fixed pipeline state every draw relies on (Direct3D 11's defaults), SetUploadState's included.
void SetDefaultPipelineState();
// Sets how pixels are read from and written to memory: tightly packed rows.
void SetUploadState();

} // namespace tavro::gpu::opengl
