#pragma once
// CRowPreparer: prepares schedule rows on a worker thread while the current model shows, so that a
// switch to a prepared row leaves only device object creation to the main thread, or, on a device that
// creates resources on any thread, only taking the objects the worker made. A prepared row
// carries what it was made from (the two entries' index records and the data file's size and write
// time); it is handed over only while the archive opened at the switch still says the same, so its
// results are exactly those the synchronous load would give.
#include "gpu/Device.h"
#include "gpu/Ref.h"
#include "render/PreparedModel.h"

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tavro {

class CFileBase;

// What the index says of one entry, as extraction reads it.
struct PreparedEntryRecord {
    std::uint64_t offset = 0;
    std::uint32_t storedSize = 0;
    std::uint32_t size = 0;
    bool compressed = false;

    bool operator==(const PreparedEntryRecord&) const = default;
};

// The data file as it was when the row was read: replacing or truncating it changes one of these.
struct PreparedFileIdentity {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type writeTime{};

    bool operator==(const PreparedFileIdentity&) const = default;
};

struct PreparedRow {
    std::uint32_t row = 0;
    PreparedEntryRecord modelRecord;
    PreparedEntryRecord textureRecord;
    PreparedFileIdentity dataFile;
    PreparedModel model;
};

// The record of an entry of an open archive; the index must be below its entry count.
PreparedEntryRecord ReadEntryRecord(CFileBase& archive, std::uint32_t entry);
// The size and write time of the file at path, or nothing when it cannot be read.
std::optional<PreparedFileIdentity> ReadFileIdentity(const std::filesystem::path& path);

// Prepares schedule row `row` (0 to 331) from the archive at archivePath on the calling thread: opens
// it, checks the entry count the viewer requires, extracts the model then the texture entry and runs
// PrepareModel, then, given a device, MakeObjectsAhead. Null when the archive cannot be used, any step
// fails or memory runs out: the row then loads synchronously, which gives its default result, failure
// included.
std::unique_ptr<PreparedRow> PrepareScheduleRow(const std::wstring& archivePath, std::uint32_t row,
                                                gpu::IDevice* device = nullptr);

class CRowPreparer {
public:
    // Prepares rows of the archive at archivePath (relative paths are looked up in the working
    // directory, as the cycler does).
    explicit CRowPreparer(std::wstring archivePath);
    CRowPreparer(const CRowPreparer&) = delete;
    CRowPreparer& operator=(const CRowPreparer&) = delete;
    // Stops the worker and joins it: a row in preparation is finished and dropped.
    ~CRowPreparer();

    // Makes rows the set wanted, in order of preference: prepared rows not in it are dropped, and the
    // worker prepares those of them not ready yet, one at a time.
    void Want(const std::vector<std::uint32_t>& rows);

    // From the next row prepared on, the worker also makes the rows' device objects on device when it
    // creates resources on any thread. The first device given stays; the preparer holds a reference to it.
    void MakeObjectsOn(gpu::IDevice& device);

    // Returns once every wanted row is ready or has failed to prepare.
    void WaitUntilIdle();

    // Takes row's preparation when it is ready, or being made (then waits for it), and still matches
    // openArchive (already checked to hold the required entry count) and its data file at dataPath,
    // which must be the path this preparer reads.
    // Null otherwise: the caller loads the row synchronously. A row taken is no longer wanted.
    std::unique_ptr<PreparedRow> Take(std::uint32_t row, CFileBase& openArchive,
                                      const std::filesystem::path& dataPath);

private:
    // The worker: prepares queued rows one at a time until stopped.
    void Work();

    const std::wstring archivePath_;
    std::mutex mutex_;
    std::condition_variable changed_;
    gpu::Ref<gpu::IDevice> device_;     // referenced and released on the thread that owns the preparer
    std::vector<std::uint32_t> wanted_; // rows to keep once prepared
    std::vector<std::uint32_t> queue_;  // wanted rows neither ready nor in preparation, in order
    std::vector<std::unique_ptr<PreparedRow>> ready_;
    std::optional<std::uint32_t> inProgress_;
    bool stopping_ = false;
    std::thread worker_; // last: started once everything it reads exists
};

} // namespace tavro
