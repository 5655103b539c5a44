#pragma once
// The model cycler: walks the schedule one row per load, each time opening the archive afresh,
// checking it is the expected one, and replacing the renderer's current model with the row's model.
#include "app/ModelSchedule.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tavro {

class CFileBase;
class CRowPreparer;
class RendererState;
struct PreparedModel;

// What the last load found.
enum class LoadOutcome {
    None,              // nothing loaded yet
    Shown,             // the row's model is current
    RowNotShown,       // the archive was fine but the row's model could not be built
    ArchiveMissing,    // the data file or its index does not exist
    ArchiveUnreadable, // both exist but the archive cannot be opened
    WrongEntryCount,   // the archive opened but holds another number of entries
};

struct LoadStatus {
    LoadOutcome outcome = LoadOutcome::None;
    std::uint32_t row = 0;        // the row tried (for Shown and RowNotShown)
    std::uint32_t entryCount = 0; // for WrongEntryCount
    std::string failure;          // for RowNotShown: why, in a few words
};

class CModelCycler {
public:
    static constexpr std::uint32_t kRequiredEntryCount = 4251;
    static constexpr const wchar_t* kArchiveName = L"LINKDATA1.bin";

    // Loads into renderer, which must outlive the cycler, from the archive at archivePath (looked up in
    // the working directory when relative).
    explicit CModelCycler(RendererState& renderer, std::wstring archivePath = kArchiveName);
    ~CModelCycler();

    // Opens the archive and, when it holds exactly 4251 entries, replaces the current model with the
    // model of row (counter mod 332) and moves the counter on, whether or not that model could be
    // built; true then. False, with the counter unchanged, when the archive cannot be opened or holds
    // another number of entries. The archive is closed again before returning.
    bool LoadNextModel();

    // Moves the counter to row (mod 332) and loads it as LoadNextModel does.
    bool LoadRow(std::uint32_t row);

    // Destroys the current model, then builds the new one from the two entries and makes it current.
    // False, leaving no model current, when the build fails (running out of memory included).
    bool ReplaceCurrentModel(CFileBase& archive, std::uint32_t modelEntry, std::uint32_t textureEntry);

    // Destroys the current model, then builds the new one from a preparation (device objects only) and
    // makes it current. False, leaving no model current, when the device refuses an object.
    bool ReplaceCurrentModel(PreparedModel prepared);

    // From now on rows are prepared ahead on a worker thread (the next row after each load, and the one
    // before the current row too once a row was chosen with LoadRow), with their device objects when the
    // renderer's device creates resources on any thread, and loads take them when they are ready and
    // still valid; the results are those of the synchronous load.
    // The worker is joined when the cycler goes.
    void PrepareRowsAhead();
    // The worker, or null before PrepareRowsAhead.
    CRowPreparer* GetPreparer() { return preparer_.get(); }

    // Later loads use the archive at archivePath; the counter stays. Rows being prepared ahead are then
    // prepared from the new archive.
    void SetArchivePath(std::wstring archivePath);
    const std::wstring& GetArchivePath() const { return archivePath_; }

    std::uint32_t GetCounter() const { return counter_; }
    const LoadStatus& GetStatus() const { return status_; }
    // Loads so far that found a usable archive (each replaced the current model), and those of them that
    // built their model from a preparation.
    std::uint32_t GetLoadCount() const { return loads_; }
    std::uint32_t GetPreparedLoadCount() const { return preparedLoads_; }

private:
    void NoteArchiveFailure();
    // Asks the preparer for the rows likely to come next.
    void WantNeighbours();
    // Records a build's outcome for row.
    void NoteBuild(std::uint32_t row, bool built);

    RendererState& renderer_;
    std::wstring archivePath_;
    std::uint32_t counter_ = 0;
    std::unique_ptr<CRowPreparer> preparer_;
    bool browsing_ = false; // a row was chosen with LoadRow
    std::uint32_t loads_ = 0;
    std::uint32_t preparedLoads_ = 0;
    LoadStatus status_;
    std::string buildFailure_; // why the last ReplaceCurrentModel failed
};

} // namespace tavro
