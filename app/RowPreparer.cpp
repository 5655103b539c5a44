#include "app/RowPreparer.h"

#include "app/ModelCycler.h"
#include "app/ModelSchedule.h"
#include "archive/BinArchive.h"
#include "platform/BackgroundThread.h"
#include "render/PreparedModel.h"

#include <algorithm>
#include <new>

namespace tavro {
namespace {

constexpr std::int32_t kOpenExisting = 0;

bool Contains(const std::vector<std::uint32_t>& rows, std::uint32_t row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

} // namespace

PreparedEntryRecord ReadEntryRecord(CFileBase& archive, std::uint32_t entry) {
    return {archive.GetEntryOffset(entry), archive.GetEntryStoredSize(entry), archive.GetEntrySize(entry),
            archive.IsEntryCompressed(entry)};
}

std::optional<PreparedFileIdentity> ReadFileIdentity(const std::filesystem::path& path) {
    std::error_code error;
    PreparedFileIdentity identity;
    identity.size = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    identity.writeTime = std::filesystem::last_write_time(path, error);
    if (error) {
        return std::nullopt;
    }
    return identity;
}

std::unique_ptr<PreparedRow> PrepareScheduleRow(const std::wstring& archivePath, std::uint32_t row,
                                                gpu::IDevice* device) {
    try {
        // Read before the archive is opened: a data file changed after this shows a new write time.
        const std::optional<PreparedFileIdentity> identity = ReadFileIdentity(archivePath);
        if (!identity) {
            return nullptr;
        }
        CKOEIFile_BIN_OROCHIZ archive;
        if (!archive.Open(archivePath.c_str(), kOpenExisting) ||
            archive.GetEntryCount() != CModelCycler::kRequiredEntryCount) {
            return nullptr;
        }
        const ModelScheduleRow& entries = ModelSchedule()[row];
        auto prepared = std::make_unique<PreparedRow>();
        prepared->row = row;
        prepared->dataFile = *identity;
        prepared->modelRecord = ReadEntryRecord(archive, entries.modelEntry);
        prepared->textureRecord = ReadEntryRecord(archive, entries.textureEntry);
        // Extracted in the synchronous load's order: the model entry, then the texture entry.
        const std::unique_ptr<CReadOnlyMemoryFile> modelFile = ExtractEntryFile(archive, entries.modelEntry);
        if (modelFile == nullptr) {
            return nullptr;
        }
        const std::unique_ptr<CReadOnlyMemoryFile> textureFile =
            ExtractEntryFile(archive, entries.textureEntry);
        if (textureFile == nullptr || !PrepareModel(*modelFile, *textureFile, prepared->model)) {
            return nullptr;
        }
        if (device != nullptr) {
            MakeObjectsAhead(*device, prepared->model);
        }
        return prepared;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

CRowPreparer::CRowPreparer(std::wstring archivePath)
    : archivePath_(std::move(archivePath)), worker_([this] { Work(); }) {}

CRowPreparer::~CRowPreparer() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void CRowPreparer::Want(const std::vector<std::uint32_t>& rows) {
    std::vector<std::unique_ptr<PreparedRow>> dropped; // freed once the lock is released
    {
        const std::lock_guard lock(mutex_);
        wanted_ = rows;
        std::vector<std::unique_ptr<PreparedRow>> kept;
        for (std::unique_ptr<PreparedRow>& prepared : ready_) {
            (Contains(rows, prepared->row) ? kept : dropped).push_back(std::move(prepared));
        }
        ready_ = std::move(kept);
        queue_.clear();
        for (const std::uint32_t row : rows) {
            const bool isReady = std::any_of(ready_.begin(), ready_.end(),
                                             [row](const auto& prepared) { return prepared->row == row; });
            if (!isReady && inProgress_ != row && !Contains(queue_, row)) {
                queue_.push_back(row);
            }
        }
    }
    changed_.notify_all();
}

void CRowPreparer::MakeObjectsOn(gpu::IDevice& device) {
    const std::lock_guard lock(mutex_);
    if (!device_) {
        device.AddRef();
        device_ = gpu::Ref<gpu::IDevice>(&device);
    }
}

void CRowPreparer::WaitUntilIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !inProgress_; });
}

std::unique_ptr<PreparedRow> CRowPreparer::Take(std::uint32_t row, CFileBase& openArchive,
                                                const std::filesystem::path& dataPath) {
    if (dataPath != std::filesystem::path(archivePath_)) {
        return nullptr; // prepared from another archive
    }
    std::unique_ptr<PreparedRow> prepared;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return inProgress_ != row; });
        std::erase(wanted_, row);
        std::erase(queue_, row);
        const auto found = std::find_if(ready_.begin(), ready_.end(),
                                        [row](const auto& candidate) { return candidate->row == row; });
        if (found == ready_.end()) {
            return nullptr;
        }
        prepared = std::move(*found);
        ready_.erase(found);
    }
    const ModelScheduleRow& entries = ModelSchedule()[row];
    if (ReadEntryRecord(openArchive, entries.modelEntry) != prepared->modelRecord ||
        ReadEntryRecord(openArchive, entries.textureEntry) != prepared->textureRecord ||
        ReadFileIdentity(dataPath) != prepared->dataFile) {
        return nullptr;
    }
    return prepared;
}

void CRowPreparer::Work() {
    // Woken by every switch: it must not run in the middle of the switch that woke it.
    platform::MarkCallingThreadAsBackground();
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) {
            return;
        }
        const std::uint32_t row = queue_.front();
        queue_.erase(queue_.begin());
        inProgress_ = row;
        gpu::IDevice* const device = device_.Get();
        lock.unlock();
        std::unique_ptr<PreparedRow> prepared = PrepareScheduleRow(archivePath_, row, device);
        lock.lock();
        inProgress_.reset();
        if (prepared != nullptr && Contains(wanted_, row)) {
            ready_.push_back(std::move(prepared));
        }
        changed_.notify_all();
        if (prepared != nullptr) {
            // No longer wanted: freed without holding the lock.
            lock.unlock();
            prepared.reset();
            lock.lock();
        }
    }
}

} // namespace tavro
