#pragma once
// The model cycler: walks the schedule one row per load, each time opening the archive afresh,
// checking it is the expected one, and replacing the renderer's current model with the row's model.
#include "app/ModelSchedule.h"

#include <cstdint>
#include <string>

namespace tavro {

class CFileBase;
class RendererState;

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

    std::uint32_t GetCounter() const { return counter_; }

private:
    RendererState& renderer_;
    std::wstring archivePath_;
    std::uint32_t counter_ = 0;
};

} // namespace tavro
