#pragma once
// The recording backend's object classes (internal to gpu/recording).
#include "gpu/Validation.h"
#include "gpu/recording/Recorder.h"

#include <map>
#include <string_view>
#include <utility>
#include <vector>

namespace tavro::gpu::recording {

// The recorder-side identity and reference count of every object. Retain and Drop are the backend's own
// references (a view's hold on its resource, a binding), which are counted but not recorded as calls.
class Tracked {
public:
    Tracked(Recorder& owner, std::string_view kind) : recorder(owner), id(owner.Register(kind)) {}
    Tracked(const Tracked&) = delete;
    Tracked& operator=(const Tracked&) = delete;
    virtual ~Tracked() { recorder.Unregister(id); }

    void Retain() { ++refCount; }
    std::uint32_t References() const { return refCount; }
    void Drop() {
        if (--refCount == 0)
            delete this;
    }

    Recorder& recorder;
    const ObjectId id;

protected:
    std::uint32_t refCount = 1; // the creator's reference
};

// Implements the interface's AddRef and Release, recording each.
template <typename Interface, typename Base = Tracked>
class Recorded : public Interface, public Base {
public:
    using Base::Base;

    std::uint32_t AddRef() override {
        ++this->refCount;
        this->recorder.Record({this->id, kS_OK, nullptr, AddRefArgs{this->refCount}});
        return this->refCount;
    }
    std::uint32_t Release() override {
        const std::uint32_t remaining = --this->refCount;
        this->recorder.Record({this->id, kS_OK, nullptr, ReleaseArgs{remaining}});
        if (remaining == 0)
            delete this;
        return remaining;
    }
};

// The id of a recording object, or 0 for null or an object of another backend.
inline Tracked* FindTracked(IObject* object) {
    return object == nullptr ? nullptr : dynamic_cast<Tracked*>(object);
}
inline ObjectId IdOf(IObject* object) {
    const Tracked* tracked = FindTracked(object);
    return tracked == nullptr ? 0 : tracked->id;
}

// What every resource knows of itself.
class ResourceState : public Tracked {
public:
    ResourceState(Recorder& owner, std::string_view kind, const ResourceInfo& resourceInfo)
        : Tracked(owner, kind), info(resourceInfo) {}
    const ResourceInfo info;
};

inline const ResourceInfo* InfoOf(IResource* resource) {
    const auto* state = resource == nullptr ? nullptr : dynamic_cast<ResourceState*>(resource);
    return state == nullptr ? nullptr : &state->info;
}

template <typename Interface, typename Desc>
class RecordedResource : public Recorded<Interface, ResourceState> {
public:
    RecordedResource(Recorder& owner, std::string_view kind, const Desc& resolvedDesc)
        : Recorded<Interface, ResourceState>(owner, kind, DescribeResource(resolvedDesc)),
          desc(resolvedDesc) {}
    ResourceDimension GetType() const override { return this->info.dimension; }
    void GetDesc(Desc* out) const override { *out = desc; }

private:
    const Desc desc;
};

using RecordingBuffer = RecordedResource<IBuffer, BufferDesc>;
using RecordingTexture1D = RecordedResource<ITexture1D, Texture1DDesc>;
using RecordingTexture2D = RecordedResource<ITexture2D, Texture2DDesc>;
using RecordingTexture3D = RecordedResource<ITexture3D, Texture3DDesc>;

// A view holds a reference to its resource for as long as it lives.
template <typename Interface, typename Desc>
class RecordingView : public Recorded<Interface> {
public:
    RecordingView(Recorder& owner, std::string_view kind, IResource* viewed, const Desc& resolvedDesc)
        : Recorded<Interface>(owner, kind), resource(viewed), desc(resolvedDesc) {
        FindTracked(viewed)->Retain();
    }
    ~RecordingView() override { FindTracked(resource)->Drop(); }

    void GetResource(IResource** out) override {
        resource->AddRef();
        *out = resource;
    }
    void GetDesc(Desc* out) const override { *out = desc; }

private:
    IResource* const resource;
    const Desc desc;
};

class RecordingRasterizerState : public Recorded<IRasterizerState> {
public:
    RecordingRasterizerState(Recorder& owner, const RasterizerDesc& rasterizerDesc)
        : Recorded(owner, "RasterizerState"), desc(rasterizerDesc) {}
    void GetDesc(RasterizerDesc* out) const override { *out = desc; }

private:
    const RasterizerDesc desc;
};

class RecordingSampler : public Recorded<ISamplerState> {
public:
    RecordingSampler(Recorder& owner, const SamplerDesc& samplerDesc)
        : Recorded(owner, "SamplerState"), desc(samplerDesc) {}
    void GetDesc(SamplerDesc* out) const override { *out = desc; }

private:
    const SamplerDesc desc;
};

template <typename Interface>
class RecordingPlainObject : public Recorded<Interface> {
public:
    using Recorded<Interface>::Recorded;
};

// The context's bindings, each holding a reference to what it binds.
class BindingTable {
public:
    BindingTable() = default;
    BindingTable(const BindingTable&) = delete;
    BindingTable& operator=(const BindingTable&) = delete;
    ~BindingTable() { Clear(); }

    void Set(int stage, std::uint32_t slot, Tracked* object) {
        const auto key = std::make_pair(stage, slot);
        const auto found = bindings.find(key);
        Tracked* previous = found == bindings.end() ? nullptr : found->second;
        if (object != nullptr) {
            object->Retain();
            bindings[key] = object;
        } else if (found != bindings.end()) {
            bindings.erase(found);
        }
        if (previous != nullptr)
            previous->Drop();
    }

    void Clear() {
        auto old = std::move(bindings);
        bindings.clear();
        for (auto& [key, object] : old)
            object->Drop();
    }

private:
    std::map<std::pair<int, std::uint32_t>, Tracked*> bindings;
};

class RecordingContext : public Recorded<IDeviceContext> {
public:
    explicit RecordingContext(Recorder& owner) : Recorded(owner, "DeviceContext") {}

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

private:
    // Binds `count` objects from `objects` at `startSlot` of `stage`, or refuses (returns false) without
    // binding anything when the range exceeds `slots` or an object is not one of ours.
    template <typename T>
    const char* Bind(int stage, std::uint32_t startSlot, std::uint32_t count, T* const* objects,
                     std::uint32_t slots, std::vector<ObjectId>& ids);
    void Note(const char* refusal, CallArgs args);

    BindingTable bindings;
};

class RecordingDevice : public Recorded<IDevice> {
public:
    RecordingDevice(Recorder& owner, FeatureLevel obtained, ShaderLanguage shaderLanguage,
                    RecordingContext* immediateContext)
        : Recorded(owner, "Device"), level(obtained), language(shaderLanguage), context(immediateContext) {}
    ~RecordingDevice() override { context->Drop(); }

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
    // Not recorded. False: the log is one thread's, in the order of its calls.
    bool CreatesResourcesOnAnyThread() const override { return false; }
    void GetImmediateContext(IDeviceContext** out) override;
    ShaderLanguage GetShaderLanguage() const override { return language; }

private:
    // The result of a creating call: the validation's refusal, else the planned failure, else S_OK, or
    // S_FALSE when the caller passed no out-pointer (a check only, as Direct3D does).
    HRESULT Decide(std::string_view name, const Validation& validation, const void* out, const char** reason);

    // The three texture creations: validate, decide, record the call with its initial-data table, and
    // make the texture when the call succeeds.
    template <typename Args, typename Object, typename Desc, typename Interface>
    HRESULT CreateTexture(const Desc* desc, const SubresourceData* initialData, Interface** texture,
                          Validation (*validate)(const Desc*, const SubresourceData*, Desc*),
                          const char* kind);

    const FeatureLevel level;
    const ShaderLanguage language;
    RecordingContext* const context; // one internal reference
};

class RecordingSwapChain : public Recorded<ISwapChain> {
public:
    RecordingSwapChain(Recorder& owner, RecordingTexture2D* buffer)
        : Recorded(owner, "SwapChain"), backBuffer(buffer) {}
    ~RecordingSwapChain() override { backBuffer->Drop(); }

    HRESULT GetBuffer(std::uint32_t index, ITexture2D** buffer) override;
    HRESULT Present(std::uint32_t syncInterval, std::uint32_t flags) override;
    HRESULT ResizeBuffers(std::uint32_t bufferCount, std::uint32_t width, std::uint32_t height,
                          Format newFormat, std::uint32_t flags) override;
    HRESULT ReadPresentedImage(PresentedImage* image) override;

private:
    RecordingTexture2D* backBuffer; // one internal reference
};

} // namespace tavro::gpu::recording
