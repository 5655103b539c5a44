#include "app/ModelCycler.h"

#include "app/RowPreparer.h"
#include "archive/BinArchive.h"
#include "render/RenderModel.h"
#include "render/RendererState.h"

#include <memory>
#include <new>

namespace tavro {

namespace {
constexpr std::int32_t kOpenExisting = 0;
} // namespace

CModelCycler::CModelCycler(RendererState& renderer, std::wstring archivePath)
    : renderer_(renderer), archivePath_(std::move(archivePath)) {}

bool CModelCycler::LoadNextModel() {
    const ModelScheduleRow& row = ModelScheduleRowForCounter(counter_);
    CKOEIFile_BIN_OROCHIZ archive;
    if (!archive.Open(archivePath_.c_str(), kOpenExisting)) {
        return false;
    }
    if (archive.GetEntryCount() != kRequiredEntryCount) {
        return false;
    }
    std::unique_ptr<PreparedRow> prepared;
    if (preparer_ != nullptr) {
        prepared = preparer_->Take(counter_ % kModelScheduleRowCount, archive, archivePath_);
    }
    if (prepared != nullptr) {
        ReplaceCurrentModel(std::move(prepared->model));
        ++preparedLoads_;
    } else {
        ReplaceCurrentModel(archive, row.modelEntry, row.textureEntry);
    }
    ++counter_;
    if (preparer_ != nullptr) {
        preparer_->Want({counter_ % kModelScheduleRowCount});
    }
    return true;
}

void CModelCycler::UsePreparer(CRowPreparer* preparer) {
    preparer_ = preparer;
    if (preparer_ != nullptr) {
        preparer_->Want({counter_ % kModelScheduleRowCount});
    }
}

bool CModelCycler::ReplaceCurrentModel(CFileBase& archive, std::uint32_t modelEntry,
                                       std::uint32_t textureEntry) {
    // The old model goes before the new one is loaded, so at most one model's data is held at a time.
    renderer_.currentModel.reset();
    try {
        auto model = std::make_unique<CRenderModel>(renderer_);
        if (!model->LoadFromArchive(archive, modelEntry, textureEntry)) {
            return false;
        }
        renderer_.currentModel = std::move(model);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CModelCycler::ReplaceCurrentModel(PreparedModel prepared) {
    renderer_.currentModel.reset();
    try {
        auto model = std::make_unique<CRenderModel>(renderer_);
        if (!model->CreateFromPrepared(std::move(prepared))) {
            return false;
        }
        renderer_.currentModel = std::move(model);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace tavro
