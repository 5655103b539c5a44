// tavro rows ARCHIVE.bin [--json]: the viewer's 332-row schedule against an archive: each row's texture
// and model entries with their sizes, and whether the row builds. A row is built exactly as the viewer
// builds it, on the recording device, which checks every call as a real device would but draws nothing.
#include "app/ModelCycler.h"
#include "app/ModelSchedule.h"
#include "gpu/recording/RecordingFactory.h"
#include "render/RendererState.h"
#include "tools/ArchiveOpening.h"
#include "tools/Commands.h"
#include "tools/HumanSize.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <cinttypes>
#include <cstdio>
#include <memory>
#include <string>

namespace tavro::tools {
namespace {

struct RowsOptions {
    std::string archive;
    bool json = false;
};

struct RowReport {
    std::uint32_t row;
    bool builds;
};

std::string EntryJson(CFileBase& archive, std::uint32_t index) {
    const bool exists = index < archive.GetEntryCount();
    return "{\"index\": " + std::to_string(index) + ", \"exists\": " + (exists ? "true" : "false") +
           ", \"storedSize\": " + std::to_string(exists ? archive.GetEntryStoredSize(index) : 0) +
           ", \"size\": " + std::to_string(exists ? archive.GetEntrySize(index) : 0) +
           ", \"compressed\": " + (exists && archive.IsEntryCompressed(index) ? "true" : "false") + "}";
}

std::string EntryColumns(CFileBase& archive, std::uint32_t index) {
    char text[80];
    if (index >= archive.GetEntryCount()) {
        std::snprintf(text, sizeof text, "%7" PRIu32 " %11s %11s  %-4s", index, "missing", "-", "-");
    } else {
        std::snprintf(text, sizeof text, "%7" PRIu32 " %11s %11s  %-4s", index,
                      HumanSize(archive.GetEntryStoredSize(index)).c_str(),
                      HumanSize(archive.GetEntrySize(index)).c_str(),
                      archive.IsEntryCompressed(index) ? "yes" : "no");
    }
    return text;
}

void PrintJson(CFileBase& archive, bool viewerOpens, const std::vector<RowReport>& rows) {
    std::printf("{\"count\": %" PRIu32 ", \"viewerOpens\": %s, \"rows\": [", archive.GetEntryCount(),
                viewerOpens ? "true" : "false");
    for (const RowReport& report : rows) {
        const ModelScheduleRow& row = ModelSchedule()[report.row];
        std::printf("%s\n  {\"row\": %" PRIu32 ", \"texture\": %s, \"model\": %s, \"builds\": %s}",
                    report.row == 0 ? "" : ",", report.row, EntryJson(archive, row.textureEntry).c_str(),
                    EntryJson(archive, row.modelEntry).c_str(), report.builds ? "true" : "false");
    }
    std::printf("\n]}\n");
}

void PrintTable(CFileBase& archive, const std::string& name, bool viewerOpens,
                const std::vector<RowReport>& rows, std::uint32_t built) {
    std::printf("%s: %" PRIu32 " entries; %" PRIu32 " of %" PRIu32 " rows build\n", name.c_str(),
                archive.GetEntryCount(), built, kModelScheduleRowCount);
    if (!viewerOpens) {
        std::printf("the viewer shows none of them: it needs an archive of %" PRIu32 " entries\n",
                    CModelCycler::kRequiredEntryCount);
    }
    std::printf("%4s %7s %11s %11s  %-4s %7s %11s %11s  %-4s  %s\n", "row", "texture", "stored", "size",
                "comp", "model", "stored", "size", "comp", "builds");
    for (const RowReport& report : rows) {
        const ModelScheduleRow& row = ModelSchedule()[report.row];
        std::printf("%4" PRIu32 " %s %s  %s\n", report.row, EntryColumns(archive, row.textureEntry).c_str(),
                    EntryColumns(archive, row.modelEntry).c_str(), report.builds ? "yes" : "no");
    }
}

int RunRows(const RowsOptions& options) {
    std::string error;
    std::unique_ptr<CKOEIFile_BIN_SM5> archive = OpenArchive(options.archive, ArchiveReader::Orochiz, error);
    if (archive == nullptr) {
        return Fail(error);
    }
    gpu::recording::Recorder recorder;
    gpu::recording::RecordingFactory factory(recorder);
    static int window; // the recording backend never looks at its window
    std::vector<RowReport> rows;
    std::uint32_t built = 0;
    {
        RendererState renderer;
        if (!InitDevice(renderer, factory, &window,
                        RenderHost{[] { return 0u; },
                                   [] {
                                       return ClientSize{1280, 960};
                                   }})) {
            return Fail("the recording device cannot be set up");
        }
        CModelCycler cycler(renderer);
        for (std::uint32_t row = 0; row < kModelScheduleRowCount; ++row) {
            const ModelScheduleRow& entries = ModelSchedule()[row];
            const bool builds =
                cycler.ReplaceCurrentModel(*archive, entries.modelEntry, entries.textureEntry);
            rows.push_back({row, builds});
            built += builds ? 1 : 0;
            recorder.ClearCalls(); // what a build recorded is not needed, and would add up over the rows
        }
    }
    const bool viewerOpens = archive->GetEntryCount() == CModelCycler::kRequiredEntryCount;
    if (options.json) {
        PrintJson(*archive, viewerOpens, rows);
    } else {
        PrintTable(*archive, options.archive, viewerOpens, rows, built);
    }
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the rows");
}

} // namespace

void AddRowsCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<RowsOptions>();
    CLI::App* command = app.add_subcommand(
        "rows", "Show the viewer's 332 rows: each row's texture and model entries and whether it builds");
    command->add_option("archive", options->archive, "the archive's data file, NAME.bin")->required();
    command->add_flag("--json", options->json, "print one JSON object instead of a table");
    command->callback([options, &exitCode] {
        exitCode = RunReportingMemory(options->archive, [&] { return RunRows(*options); });
    });
}

} // namespace tavro::tools
