#pragma once
// The graphics device interface: the device, its immediate context, the swap chain and the objects they
// make. Each operation takes Direct3D 11's arguments and numbers and returns its HRESULT, so a Direct3D
// backend forwards every call one to one; the OpenGL and recording backends reproduce its effects.
//
// Ownership: a creating call that succeeds writes an object holding one reference, owned by the caller,
// and writes nothing on failure. Release drops one reference and the object dies with its last one. A view
// holds a reference to its resource, and the context holds one to every object bound to it, so a texture
// whose own reference was released lives on while a view of it (or a binding) does.
#include "gpu/HResult.h"
#include "gpu/Types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavro::gpu {

// The reference-counting base of every graphics object.
class IObject {
public:
    // Adds one reference; returns the new count.
    virtual std::uint32_t AddRef() = 0;
    // Drops one reference; returns the remaining count. At 0 the object is destroyed.
    virtual std::uint32_t Release() = 0;

protected:
    virtual ~IObject() = default;
};

class IResource : public IObject {
public:
    virtual ResourceDimension GetType() const = 0;
};

class IBuffer : public IResource {
public:
    virtual void GetDesc(BufferDesc* desc) const = 0;
};

class ITexture1D : public IResource {
public:
    virtual void GetDesc(Texture1DDesc* desc) const = 0;
};

class ITexture2D : public IResource {
public:
    virtual void GetDesc(Texture2DDesc* desc) const = 0;
};

class ITexture3D : public IResource {
public:
    virtual void GetDesc(Texture3DDesc* desc) const = 0;
};

class IView : public IObject {
public:
    // Writes the viewed resource with one new reference for the caller.
    virtual void GetResource(IResource** resource) = 0;
};

class IShaderResourceView : public IView {
public:
    virtual void GetDesc(ShaderResourceViewDesc* desc) const = 0;
};

class IRenderTargetView : public IView {
public:
    virtual void GetDesc(RenderTargetViewDesc* desc) const = 0;
};

class IDepthStencilView : public IView {
public:
    virtual void GetDesc(DepthStencilViewDesc* desc) const = 0;
};

class ISamplerState : public IObject {
public:
    virtual void GetDesc(SamplerDesc* desc) const = 0;
};

class IRasterizerState : public IObject {
public:
    virtual void GetDesc(RasterizerDesc* desc) const = 0;
};

class IVertexShader : public IObject {};
class IPixelShader : public IObject {};
class IInputLayout : public IObject {};

// What a backend accepts as shader "bytecode".
enum class ShaderLanguage : std::uint32_t {
    Dxbc = 0, // compiled HLSL containers (Direct3D)
    Glsl =
        1, // GLSL 4.x source text, not null-terminated (OpenGL; conventions in gpu/opengl/GlslConventions.h)
};

class IDeviceContext;

// Feature levels, with Direct3D's numbers.
enum class FeatureLevel : std::uint32_t {
    Level9_1 = 0x9100,
    Level9_2 = 0x9200,
    Level9_3 = 0x9300,
    Level10_0 = 0xA000,
    Level10_1 = 0xA100,
    Level11_0 = 0xB000,
    Level11_1 = 0xB100,
};

class IDevice : public IObject {
public:
    // A buffer of exactly desc->byteWidth bytes holding a copy of initialData when given. A zero byteWidth,
    // an immutable buffer without initial data and a constant buffer whose size is not a multiple of 16
    // (or above kMaxConstantBufferBytes) fail with E_INVALIDARG.
    virtual HRESULT CreateBuffer(const BufferDesc* desc, const SubresourceData* initialData,
                                 IBuffer** buffer) = 0;

    // Textures of the described size and format. initialData, when given, holds mipLevels × arraySize
    // entries (see SubresourceData for their order) and is copied in before the call returns.
    virtual HRESULT CreateTexture1D(const Texture1DDesc* desc, const SubresourceData* initialData,
                                    ITexture1D** texture) = 0;
    virtual HRESULT CreateTexture2D(const Texture2DDesc* desc, const SubresourceData* initialData,
                                    ITexture2D** texture) = 0;
    virtual HRESULT CreateTexture3D(const Texture3DDesc* desc, const SubresourceData* initialData,
                                    ITexture3D** texture) = 0;

    // Views hold a reference to their resource. A null desc views the whole resource in its own format.
    virtual HRESULT CreateShaderResourceView(IResource* resource, const ShaderResourceViewDesc* desc,
                                             IShaderResourceView** view) = 0;
    virtual HRESULT CreateRenderTargetView(IResource* resource, const RenderTargetViewDesc* desc,
                                           IRenderTargetView** view) = 0;
    virtual HRESULT CreateDepthStencilView(IResource* resource, const DepthStencilViewDesc* desc,
                                           IDepthStencilView** view) = 0;

    virtual HRESULT CreateSamplerState(const SamplerDesc* desc, ISamplerState** sampler) = 0;
    virtual HRESULT CreateRasterizerState(const RasterizerDesc* desc, IRasterizerState** state) = 0;

    // Shaders from `length` bytes in this device's GetShaderLanguage(). Direct3D's class-linkage argument is
    // always null in this system and is left out.
    virtual HRESULT CreateVertexShader(const void* bytecode, std::size_t length, IVertexShader** shader) = 0;
    virtual HRESULT CreatePixelShader(const void* bytecode, std::size_t length, IPixelShader** shader) = 0;

    // An input layout for the vertex shader whose bytecode is given.
    virtual HRESULT CreateInputLayout(const InputElementDesc* elements, std::uint32_t numElements,
                                      const void* vertexShaderBytecode, std::size_t length,
                                      IInputLayout** layout) = 0;

    virtual FeatureLevel GetFeatureLevel() const = 0;

    // Not a Direct3D operation (a Direct3D 11 device is free-threaded): whether CreateBuffer, the
    // CreateTexture calls and CreateShaderResourceView may be called on other threads while the device is
    // in use on the thread that made it. Objects made so are complete when the call returns: handed to the
    // device's thread (with the usual synchronisation), they are used there like its own, and their last
    // reference may be released on either thread. When false, every call belongs to the device's thread.
    virtual bool CreatesResourcesOnAnyThread() const = 0;

    // Writes the immediate context with one new reference for the caller.
    virtual void GetImmediateContext(IDeviceContext** context) = 0;

    // Not a Direct3D operation: which shader language CreateVertexShader and CreatePixelShader accept, so
    // the caller hands over the matching blob.
    virtual ShaderLanguage GetShaderLanguage() const = 0;
};

// The immediate context. Bindings stay in force until replaced; a bound object is kept alive by the
// binding. Arrays are read for `num` entries; null entries unbind their slot.
class IDeviceContext : public IObject {
public:
    virtual void OMSetRenderTargets(std::uint32_t numViews, IRenderTargetView* const* renderTargetViews,
                                    IDepthStencilView* depthStencilView) = 0;
    virtual void RSSetViewports(std::uint32_t numViewports, const Viewport* viewports) = 0;
    // Null restores the default: solid, back faces culled, clockwise front faces.
    virtual void RSSetState(IRasterizerState* state) = 0;

    virtual void IASetInputLayout(IInputLayout* layout) = 0;
    virtual void IASetPrimitiveTopology(PrimitiveTopology topology) = 0;
    virtual void IASetVertexBuffers(std::uint32_t startSlot, std::uint32_t numBuffers,
                                    IBuffer* const* buffers, const std::uint32_t* strides,
                                    const std::uint32_t* offsets) = 0;
    // format is R16_UInt or R32_UInt; offset in bytes.
    virtual void IASetIndexBuffer(IBuffer* buffer, Format format, std::uint32_t offset) = 0;

    // Direct3D's class-instance arguments are always empty in this system and are left out.
    virtual void VSSetShader(IVertexShader* shader) = 0;
    virtual void PSSetShader(IPixelShader* shader) = 0;
    virtual void VSSetConstantBuffers(std::uint32_t startSlot, std::uint32_t numBuffers,
                                      IBuffer* const* buffers) = 0;
    virtual void PSSetShaderResources(std::uint32_t startSlot, std::uint32_t numViews,
                                      IShaderResourceView* const* views) = 0;
    virtual void PSSetSamplers(std::uint32_t startSlot, std::uint32_t numSamplers,
                               ISamplerState* const* samplers) = 0;

    virtual void ClearRenderTargetView(IRenderTargetView* view, const float colorRgba[4]) = 0;
    // clearFlags: kClearDepth and/or kClearStencil.
    virtual void ClearDepthStencilView(IDepthStencilView* view, std::uint32_t clearFlags, float depth,
                                       std::uint8_t stencil) = 0;

    // Copies new contents into a default-usage buffer: box (when given) selects the byte range
    // [left, right), without it the whole buffer is written from srcData; a constant buffer is always
    // written whole. Nothing in the system updates textures, so the backends other than Direct3D refuse
    // (ignore) texture updates.
    virtual void UpdateSubresource(IResource* resource, std::uint32_t subresource, const Box* box,
                                   const void* srcData, std::uint32_t srcRowPitch,
                                   std::uint32_t srcDepthPitch) = 0;

    // Draws indexCount indices from startIndex of the bound index buffer, each plus baseVertex, with the
    // bound topology. A strip index of all ones (0xFFFF for 16-bit indices) cuts the strip.
    virtual void DrawIndexed(std::uint32_t indexCount, std::uint32_t startIndex, std::int32_t baseVertex) = 0;
};

// The image Present showed, as tightly packed RGBA8 rows, top row first.
struct PresentedImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;
};

class ISwapChain : public IObject {
public:
    // Writes back buffer `index` (only 0 exists) with one new reference for the caller.
    virtual HRESULT GetBuffer(std::uint32_t index, ITexture2D** buffer) = 0;

    // Shows the back buffer, scaled to the window's current size.
    virtual HRESULT Present(std::uint32_t syncInterval, std::uint32_t flags) = 0;

    // Makes a new back buffer of width x height in newFormat (Format::Unknown keeps the format); the
    // count stays one (bufferCount 0 or 1) and flags must be 0. The swap chain's own reference must be
    // the back buffer's last one (views and bindings of it released first), else DXGI_ERROR_INVALID_CALL
    // and nothing changes. A zero size is E_INVALIDARG. The presented image is gone afterwards.
    virtual HRESULT ResizeBuffers(std::uint32_t bufferCount, std::uint32_t width, std::uint32_t height,
                                  Format newFormat, std::uint32_t flags) = 0;

    // ---- Extension beyond Direct3D 11, for the command-line tool and tests ----
    // Copies the image shown by the last successful Present into `image`. Before any Present it fails with
    // E_FAIL. (The Direct3D backend copies the back buffer aside at Present and reads the copy back through a
    // staging texture here.)
    virtual HRESULT ReadPresentedImage(PresentedImage* image) = 0;
};

} // namespace tavro::gpu
