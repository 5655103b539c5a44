#pragma once
// The model cycler: walks the schedule one row per load, each time opening the archive afresh,
// checking it is the expected one, and replacing the renderer's current model with the row's model.
#include "app/ModelSchedule.h"

#include <cstdint>
#include <string>

namespace tavro {

class CFileBase;
class CRowPreparer;
class RendererState;
struct PreparedModel;

class CModelCycler {
public:
    static constexpr std::uint32_t kRequiredEntryCount = 4251;
    static constexpr const wchar_t* kArchiveName = L"LINKDATA1.bin";

    // Loads into renderer, which must outlive the cycler, from the archive at archivePath (looked up in
    // the working directory when relative).
    explicit CModelCycler(RendererState& renderer, std::wstring archivePath = kArchiveName);

    // Opens the archive and, when it holds exactly 4251 entries, replaces the current model with the
    // model of row (counter mod 332) and moves the counter on, whether or not that model could be
    // built; true then. False, with the counter unchanged, when the archive cannot be opened or holds
    // another number of entries. The archive is closed again before returning.
    bool LoadNextModel();

    // Destroys the current model, then builds the new one from the two entries and makes it current.
    // False, leaving no model current, when the build fails (running out of memory included).
    bool ReplaceCurrentModel(CFileBase& archive, std::uint32_t modelEntry, std::uint32_t textureEntry);

    // Destroys the current model, then builds the new one from a preparation (device objects only) and
    // makes it current. False, leaving no model current, when the device refuses an object.
    bool ReplaceCurrentModel(PreparedModel prepared);

    // Loads take their rows from preparer when it has them ready and still valid, and ask it for the
    // next row after each load; null (the default) loads every row synchronously. Not owned; it must
    // prepare from this cycler's archive path and outlive its use here.
    void UsePreparer(CRowPreparer* preparer);

    std::uint32_t GetCounter() const { return counter_; }
    // Loads so far that built their model from a preparation.
    std::uint32_t GetPreparedLoadCount() const { return preparedLoads_; }

private:
    RendererState& renderer_;
    std::wstring archivePath_;
    std::uint32_t counter_ = 0;
    CRowPreparer* preparer_ = nullptr;
    std::uint32_t preparedLoads_ = 0;
};

} // namespace tavro
