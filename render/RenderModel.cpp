#include "render/RenderModel.h"

#include "archive/FileBase.h"
#include "file/MemoryFile.h"
#include "render/Camera.h"
#include "render/PreparedModel.h"
#include "render/RendererState.h"
#include "texture/DDSTextureLoader.h"

#include <limits>
#include <new>

namespace tavro {
namespace {

constexpr std::uint32_t kVertexStride = sizeof(CG1MVertex);

// A default-usage buffer holding a copy of byteCount bytes at data. Sizes that do not fit the device's
// 32-bit byte width are refused before the device sees them.
HRESULT CreateInitializedBuffer(gpu::IDevice& device, std::uint32_t bindFlags, const void* data,
                                std::uint64_t byteCount, gpu::Ref<gpu::IBuffer>& buffer) {
    if (byteCount > std::numeric_limits<std::uint32_t>::max()) {
        return kE_INVALIDARG;
    }
    gpu::BufferDesc desc{};
    desc.byteWidth = static_cast<std::uint32_t>(byteCount);
    desc.usage = gpu::Usage::Default;
    desc.bindFlags = bindFlags;
    const gpu::SubresourceData initialData{data, 0, 0};
    return device.CreateBuffer(&desc, &initialData, buffer.Put());
}

} // namespace

CRenderModel::CRenderModel(RendererState& rendererState) : renderer(rendererState) {}

CRenderModel::~CRenderModel() {
    constantBuffer.Reset();
    indexBuffer.Reset();
    vertexBuffer.Reset();
    textureView.Reset();
    model.reset();
}

bool CRenderModel::LoadFromArchive(CFileBase& archive, std::uint32_t modelEntry, std::uint32_t textureEntry) {
    const std::unique_ptr<CReadOnlyMemoryFile> modelFile = ExtractEntryFile(archive, modelEntry);
    if (!modelFile) {
        failure = "the model entry cannot be extracted";
        return false;
    }
    const std::unique_ptr<CReadOnlyMemoryFile> textureFile = ExtractEntryFile(archive, textureEntry);
    if (!textureFile) {
        failure = "the texture entry cannot be extracted";
        return false;
    }
    return Create(*modelFile, *textureFile);
}

bool CRenderModel::Create(CAbstractFile& modelFile, CAbstractFile& textureFile) {
    PreparedModel prepared;
    if (!PrepareModel(modelFile, textureFile, prepared)) {
        model = std::move(prepared.model); // a model that was made stays for the destructor
        failure = "the model or its texture pack is refused";
        return false;
    }
    return CreateFromPrepared(std::move(prepared));
}

bool CRenderModel::CreateFromPrepared(PreparedModel prepared) {
    try {
        // The texture view is made only once the parse succeeded (PrepareModel's order); nothing is
        // bound until every object exists.
        model = std::move(prepared.model);
        if (Failed(LoadLaidOutDDSTexture(renderer.device.Get(), prepared.dds->GetBuffer(),
                                         prepared.dds->GetSize(), prepared.layout, textureView.Put()))) {
            failure = "the texture cannot be created";
            return false;
        }
        if (!CreateBuffers()) {
            failure = "the model's buffers cannot be created";
            return false;
        }
        BindResources();
        startTick = renderer.host.tickCount();
        return true;
    } catch (const std::bad_alloc&) {
        failure = "memory ran out";
        return false;
    }
}

bool CRenderModel::CreateBuffers() {
    gpu::IDevice& device = *renderer.device.Get();
    // The draw arrays are uploaded straight from the model's own arrays; the device copies them. An
    // empty array gives a zero-sized buffer, which the device refuses.
    const std::span<const CG1MVertex> vertices = model->ViewVertices();
    if (Failed(CreateInitializedBuffer(device, gpu::kBindVertexBuffer, vertices.data(),
                                       std::uint64_t{vertices.size()} * kVertexStride, vertexBuffer))) {
        return false;
    }
    const std::span<const std::uint16_t> indices = model->ViewIndices();
    if (Failed(CreateInitializedBuffer(device, gpu::kBindIndexBuffer, indices.data(),
                                       std::uint64_t{indices.size()} * sizeof(std::uint16_t), indexBuffer))) {
        return false;
    }
    gpu::BufferDesc constantDesc{};
    constantDesc.byteWidth = kConstantBufferBytes;
    constantDesc.usage = gpu::Usage::Default;
    constantDesc.bindFlags = gpu::kBindConstantBuffer;
    return Succeeded(device.CreateBuffer(&constantDesc, nullptr, constantBuffer.Put()));
}

void CRenderModel::BindResources() {
    gpu::IDeviceContext& context = *renderer.context.Get();
    gpu::IBuffer* const vertexBuffers[] = {vertexBuffer.Get()};
    const std::uint32_t strides[] = {kVertexStride};
    const std::uint32_t offsets[] = {0};
    context.IASetVertexBuffers(0, 1, vertexBuffers, strides, offsets);
    context.IASetIndexBuffer(indexBuffer.Get(), gpu::Format::R16_UInt, 0);
    gpu::IShaderResourceView* const views[] = {textureView.Get()};
    context.PSSetShaderResources(0, 1, views);
}

} // namespace tavro
