#include "app/ModelCycler.h"

#include "app/ArchivePath.h"
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
        NoteArchiveFailure();
        return false;
    }
    if (archive.GetEntryCount() != kRequiredEntryCount) {
        status_ = LoadStatus{LoadOutcome::WrongEntryCount, 0, archive.GetEntryCount(), {}};
        return false;
    }
    bool built = false;
    std::unique_ptr<PreparedRow> prepared;
    if (preparer_ != nullptr) {
        prepared = preparer_->Take(counter_ % kModelScheduleRowCount, archive, archivePath_);
    }
    if (prepared != nullptr) {
        built = ReplaceCurrentModel(std::move(prepared->model));
        ++preparedLoads_;
    } else {
        built = ReplaceCurrentModel(archive, row.modelEntry, row.textureEntry);
    }
    NoteBuild(counter_ % kModelScheduleRowCount, built);
    ++counter_;
    if (preparer_ != nullptr) {
        preparer_->Want({counter_ % kModelScheduleRowCount});
    }
    return true;
}

bool CModelCycler::LoadRow(std::uint32_t row) {
    counter_ = row % kModelScheduleRowCount;
    return LoadNextModel();
}

void CModelCycler::NoteArchiveFailure() {
    const bool present = ArchiveFilesExist(archivePath_);
    status_ = LoadStatus{present ? LoadOutcome::ArchiveUnreadable : LoadOutcome::ArchiveMissing, 0, 0, {}};
}

void CModelCycler::NoteBuild(std::uint32_t row, bool built) {
    status_ = LoadStatus{built ? LoadOutcome::Shown : LoadOutcome::RowNotShown, row, kRequiredEntryCount,
                         built ? std::string() : buildFailure_};
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
    buildFailure_ = "memory ran out";
    try {
        auto model = std::make_unique<CRenderModel>(renderer_);
        if (!model->LoadFromArchive(archive, modelEntry, textureEntry)) {
            buildFailure_ = model->GetFailure();
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
    buildFailure_ = "memory ran out";
    try {
        auto model = std::make_unique<CRenderModel>(renderer_);
        if (!model->CreateFromPrepared(std::move(prepared))) {
            buildFailure_ = model->GetFailure();
            return false;
        }
        renderer_.currentModel = std::move(model);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace tavro
