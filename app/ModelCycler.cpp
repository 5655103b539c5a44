#include "app/ModelCycler.h"

#include "app/ArchivePath.h"
#include "app/RowPreparer.h"
#include "archive/BinArchive.h"
#include "gpu/Device.h"
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

CModelCycler::~CModelCycler() = default;

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
    ++loads_;
    if (preparer_ != nullptr) {
        WantNeighbours();
    }
    return true;
}

bool CModelCycler::LoadRow(std::uint32_t row) {
    browsing_ = true;
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

void CModelCycler::SetArchivePath(std::wstring archivePath) {
    if (archivePath == archivePath_) {
        return;
    }
    archivePath_ = std::move(archivePath);
    if (preparer_ != nullptr) {
        // Rows of the old archive are of no use: a fresh worker prepares from the new one.
        preparer_.reset();
        PrepareRowsAhead();
    }
}

void CModelCycler::PrepareRowsAhead() {
    if (preparer_ == nullptr) {
        preparer_ = std::make_unique<CRowPreparer>(archivePath_);
        WantNeighbours();
    }
}

void CModelCycler::WantNeighbours() {
    if (renderer_.device) {
        preparer_->MakeObjectsOn(*renderer_.device.Get());
    }
    // The counter names the next row; once the user has chosen rows, the row before the current one
    // is as likely to come next.
    const std::uint32_t next = counter_ % kModelScheduleRowCount;
    if (!browsing_ || counter_ == 0) {
        preparer_->Want({next});
        return;
    }
    const std::uint32_t current = (counter_ - 1) % kModelScheduleRowCount;
    preparer_->Want({next, (current + kModelScheduleRowCount - 1) % kModelScheduleRowCount});
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
