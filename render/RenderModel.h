#pragma once
// CRenderModel: one model as the renderer shows it, the parsed G1M model with the graphics objects made
// from it (texture view, vertex, index and constant buffers) and the tick its build completed.
#include "gpu/Device.h"
#include "gpu/Ref.h"
#include "model/G1MModel.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tavro {

class CAbstractFile;
class CFileBase;
struct PreparedModel;
class RendererState;

class CRenderModel {
public:
    // An empty model drawn with renderer's device, which must outlive it.
    explicit CRenderModel(RendererState& renderer);
    CRenderModel(const CRenderModel&) = delete;
    CRenderModel& operator=(const CRenderModel&) = delete;
    // Releases constantBuffer, indexBuffer, vertexBuffer and textureView, in that order, then the model.
    ~CRenderModel();

    // Extracts the model entry, then the texture entry, and builds from them (Create). False when either
    // entry cannot be extracted (the texture entry is not tried when the model entry fails) or the build
    // fails; the caller then destroys the object.
    bool LoadFromArchive(CFileBase& archive, std::uint32_t modelEntry, std::uint32_t textureEntry);

    // Converts the G1T pack to DDS, parses the G1M file, creates the texture view, the vertex, index and
    // constant buffers, binds buffers and texture on the context once, and records startTick. False at
    // the first failure (running out of memory included), leaving what was made for the destructor and
    // binding nothing.
    bool Create(CAbstractFile& modelFile, CAbstractFile& textureFile);
    // Create's device half, from files already converted, parsed and laid out by PrepareModel (which
    // must have succeeded): the same objects, bindings and failures as Create on those files.
    bool CreateFromPrepared(PreparedModel prepared);

    // Draws one frame: clears, then per draw item updates the constant buffer and draws, then presents.
    // A frame of an empty client area (a minimised window) is skipped whole: its projection has no
    // finite width-to-height ratio, and nothing could be seen of it anyway. So is a frame whose draw list
    // cannot be allocated. The draw list is built on the first frame drawn and kept for the model's life.
    void Render();

    const CG1MModel* GetModel() const { return model.get(); }
    // Why the last load or build failed, in a few words; empty when nothing failed.
    const char* GetFailure() const { return failure; }
    std::uint32_t GetStartTick() const { return startTick; }
    gpu::IShaderResourceView* GetTextureView() const { return textureView.Get(); }

private:
    void BindResources();

    RendererState& renderer;
    std::unique_ptr<CG1MModel> model;
    std::vector<CG1MDrawItem> drawItems;
    bool drawItemsBuilt = false;
    std::uint32_t startTick = 0;
    const char* failure = "";
    gpu::Ref<gpu::IShaderResourceView> textureView;
    gpu::Ref<gpu::IBuffer> vertexBuffer;
    gpu::Ref<gpu::IBuffer> indexBuffer;
    gpu::Ref<gpu::IBuffer> constantBuffer;
};

} // namespace tavro
