#include "gpu/recording/RecordingObjects.h"

#include <cstring>

namespace tavro::gpu::recording {
namespace {

// Binding tables of the context, one per kind of slot.
enum Stage : int {
    kRenderTargets,
    kDepthStencil,
    kInputLayout,
    kVertexBuffers,
    kIndexBuffer,
    kVertexShader,
    kPixelShader,
    kConstantBuffers,
    kShaderResources,
    kSamplers,
    kRasterizer,
};

} // namespace

void RecordingContext::Note(const char* refusal, CallArgs args) {
    recorder.Record({id, refusal == nullptr ? kS_OK : kE_INVALIDARG, refusal, std::move(args)});
}

template <typename T>
const char* RecordingContext::Bind(int stage, std::uint32_t startSlot, std::uint32_t count, T* const* objects,
                                   std::uint32_t slots, std::vector<ObjectId>& ids) {
    if (startSlot > slots || count > slots - startSlot)
        return "slot range out of bounds";
    if (count != 0 && objects == nullptr)
        return "no array";
    for (std::uint32_t i = 0; i < count; ++i) {
        if (objects[i] != nullptr && FindTracked(objects[i]) == nullptr)
            return "object of another backend";
        ids.push_back(IdOf(objects[i]));
    }
    for (std::uint32_t i = 0; i < count; ++i)
        bindings.Set(stage, startSlot + i, FindTracked(objects[i]));
    return nullptr;
}

void RecordingContext::OMSetRenderTargets(std::uint32_t numViews, IRenderTargetView* const* renderTargetViews,
                                          IDepthStencilView* depthStencilView) {
    OMSetRenderTargetsArgs args{{}, IdOf(depthStencilView)};
    const char* refusal = nullptr;
    if (depthStencilView != nullptr && FindTracked(depthStencilView) == nullptr)
        refusal = "object of another backend";
    else
        refusal = Bind(kRenderTargets, 0, numViews, renderTargetViews, kMaxRenderTargets, args.renderTargets);
    if (refusal == nullptr) {
        // Render targets beyond numViews are unbound, as a new output set replaces the old one whole.
        for (std::uint32_t slot = numViews; slot < kMaxRenderTargets; ++slot)
            bindings.Set(kRenderTargets, slot, nullptr);
        bindings.Set(kDepthStencil, 0, FindTracked(depthStencilView));
    }
    Note(refusal, std::move(args));
}

void RecordingContext::RSSetViewports(std::uint32_t numViewports, const Viewport* viewports) {
    RSSetViewportsArgs args;
    const char* refusal = nullptr;
    if (numViewports > 16 || (numViewports != 0 && viewports == nullptr))
        refusal = "viewport count out of range";
    else
        args.viewports.assign(viewports, viewports + numViewports);
    Note(refusal, std::move(args));
}

void RecordingContext::RSSetState(IRasterizerState* state) {
    std::vector<ObjectId> ids;
    IRasterizerState* const list[] = {state};
    const char* refusal = Bind(kRasterizer, 0, 1, list, 1, ids);
    Note(refusal, RSSetStateArgs{IdOf(state)});
}

void RecordingContext::IASetInputLayout(IInputLayout* layout) {
    std::vector<ObjectId> ids;
    IInputLayout* const list[] = {layout};
    const char* refusal = Bind(kInputLayout, 0, 1, list, 1, ids);
    Note(refusal, IASetInputLayoutArgs{IdOf(layout)});
}

void RecordingContext::IASetPrimitiveTopology(PrimitiveTopology topology) {
    const char* refusal = topology > PrimitiveTopology::TriangleStrip ? "unknown topology" : nullptr;
    Note(refusal, IASetPrimitiveTopologyArgs{topology});
}

void RecordingContext::IASetVertexBuffers(std::uint32_t startSlot, std::uint32_t numBuffers,
                                          IBuffer* const* buffers, const std::uint32_t* strides,
                                          const std::uint32_t* offsets) {
    IASetVertexBuffersArgs args{startSlot, {}, {}, {}};
    const char* refusal = nullptr;
    if (numBuffers != 0 && (strides == nullptr || offsets == nullptr)) {
        refusal = "no strides or offsets";
    } else {
        args.strides.assign(strides, strides + numBuffers);
        args.offsets.assign(offsets, offsets + numBuffers);
        refusal = Bind(kVertexBuffers, startSlot, numBuffers, buffers, kMaxVertexBufferSlots, args.buffers);
    }
    Note(refusal, std::move(args));
}

void RecordingContext::IASetIndexBuffer(IBuffer* buffer, Format format, std::uint32_t offset) {
    std::vector<ObjectId> ids;
    const char* refusal = nullptr;
    if (buffer != nullptr && format != Format::R16_UInt && format != Format::R32_UInt) {
        refusal = "index format must be R16_UInt or R32_UInt";
    } else {
        IBuffer* const list[] = {buffer};
        refusal = Bind(kIndexBuffer, 0, 1, list, 1, ids);
    }
    Note(refusal, IASetIndexBufferArgs{IdOf(buffer), format, offset});
}

void RecordingContext::VSSetShader(IVertexShader* shader) {
    std::vector<ObjectId> ids;
    IVertexShader* const list[] = {shader};
    Note(Bind(kVertexShader, 0, 1, list, 1, ids), VSSetShaderArgs{IdOf(shader)});
}

void RecordingContext::PSSetShader(IPixelShader* shader) {
    std::vector<ObjectId> ids;
    IPixelShader* const list[] = {shader};
    Note(Bind(kPixelShader, 0, 1, list, 1, ids), PSSetShaderArgs{IdOf(shader)});
}

void RecordingContext::VSSetConstantBuffers(std::uint32_t startSlot, std::uint32_t numBuffers,
                                            IBuffer* const* buffers) {
    VSSetConstantBuffersArgs args{startSlot, {}};
    const char* refusal =
        Bind(kConstantBuffers, startSlot, numBuffers, buffers, kMaxConstantBufferSlots, args.buffers);
    Note(refusal, std::move(args));
}

void RecordingContext::PSSetShaderResources(std::uint32_t startSlot, std::uint32_t numViews,
                                            IShaderResourceView* const* views) {
    PSSetShaderResourcesArgs args{startSlot, {}};
    const char* refusal =
        Bind(kShaderResources, startSlot, numViews, views, kMaxShaderResourceSlots, args.views);
    Note(refusal, std::move(args));
}

void RecordingContext::PSSetSamplers(std::uint32_t startSlot, std::uint32_t numSamplers,
                                     ISamplerState* const* samplers) {
    PSSetSamplersArgs args{startSlot, {}};
    const char* refusal = Bind(kSamplers, startSlot, numSamplers, samplers, kMaxSamplerSlots, args.samplers);
    Note(refusal, std::move(args));
}

void RecordingContext::ClearRenderTargetView(IRenderTargetView* view, const float colorRgba[4]) {
    ClearRenderTargetViewArgs args{IdOf(view), {}};
    const char* refusal = nullptr;
    if (FindTracked(view) == nullptr || colorRgba == nullptr)
        refusal = "no view or colour";
    else
        std::memcpy(args.color.data(), colorRgba, sizeof(float) * 4);
    Note(refusal, args);
}

void RecordingContext::ClearDepthStencilView(IDepthStencilView* view, std::uint32_t clearFlags, float depth,
                                             std::uint8_t stencil) {
    const char* refusal = nullptr;
    if (FindTracked(view) == nullptr)
        refusal = "no view";
    else if ((clearFlags & ~(kClearDepth | kClearStencil)) != 0)
        refusal = "unknown clear flags";
    else if (!(depth >= 0.0f && depth <= 1.0f))
        refusal = "depth outside 0..1";
    Note(refusal, ClearDepthStencilViewArgs{IdOf(view), clearFlags, depth, stencil});
}

void RecordingContext::UpdateSubresource(IResource* resource, std::uint32_t subresource, const Box* box,
                                         const void* srcData, std::uint32_t srcRowPitch,
                                         std::uint32_t srcDepthPitch) {
    UpdateSubresourceArgs args{
        IdOf(resource), subresource,  box != nullptr, box != nullptr ? *box : Box{}, {},
        srcRowPitch,    srcDepthPitch};
    const char* refusal = nullptr;
    const ResourceInfo* info = InfoOf(resource);
    if (info == nullptr) {
        refusal = "no resource";
    } else {
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
        const Validation range = ResolveBufferUpdate(*info, subresource, box, srcData, &begin, &end);
        refusal = range.reason;
        if (range.Ok()) {
            const auto* bytes = static_cast<const std::uint8_t*>(srcData);
            args.bytes.assign(bytes, bytes + (end - begin));
        }
    }
    Note(refusal, std::move(args));
}

void RecordingContext::DrawIndexed(std::uint32_t indexCount, std::uint32_t startIndex,
                                   std::int32_t baseVertex) {
    Note(nullptr, DrawIndexedArgs{indexCount, startIndex, baseVertex});
}

} // namespace tavro::gpu::recording
