#include "render/RenderModel.h"

#include "archive/FileBase.h"
#include "file/MemoryFile.h"
#include "render/Camera.h"
#include "render/ModelObjects.h"
#include "render/PreparedModel.h"
#include "render/RendererState.h"

#include <new>

namespace tavro {
namespace {

constexpr std::uint32_t kVertexStride = sizeof(CG1MVertex);

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
        // bound until every object exists. Objects made ahead on another thread are the same ones.
        ModelObjects objects;
        const char* refused = nullptr;
        if (prepared.objects) {
            objects = std::move(*prepared.objects);
        } else {
            refused = CreateModelObjects(*renderer.device.Get(), prepared, objects);
        }
        model = std::move(prepared.model);
        textureView = std::move(objects.textureView);
        vertexBuffer = std::move(objects.vertexBuffer);
        indexBuffer = std::move(objects.indexBuffer);
        constantBuffer = std::move(objects.constantBuffer);
        if (refused != nullptr) {
            failure = refused;
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
