#include "tools/ExportRows.h"

#include "app/ModelSchedule.h"
#include "export/ModelExport.h"
#include "tools/ArchiveOpening.h"
#include "tools/ExportFiles.h"
#include "tools/OutputFolder.h"
#include "tools/Report.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace tavro::tools {
namespace {

using Clock = std::chrono::steady_clock;

std::string RowFileName(std::uint32_t row) {
    char name[32];
    std::snprintf(name, sizeof name, "row-%03u.glb", static_cast<unsigned>(row));
    return name;
}

// What the workers share: the next row to take, the tallies and the console.
class BatchState {
public:
    BatchState(const RowBatchOptions& batchOptions)
        : options(batchOptions), nextRow(batchOptions.firstRow),
          rowCount(batchOptions.lastRow - batchOptions.firstRow + 1) {}

    // The next row to export, or false when none is left.
    bool TakeRow(std::uint32_t& row) {
        row = nextRow.fetch_add(1);
        return row <= options.lastRow;
    }

    void Report(std::uint32_t row, bool written, std::uint64_t bytes, double seconds,
                const std::vector<std::string>& warnings, const std::string& error) {
        const std::lock_guard<std::mutex> lock(mutex);
        for (const std::string& warning : warnings) {
            std::fprintf(stderr, "\rtavro: warning: row %u: %s\n", row, warning.c_str());
        }
        if (written) {
            ++writtenRows;
            writtenBytes += bytes;
        } else {
            ++failedRows;
            std::fprintf(stderr, "\rtavro: %s\n", error.c_str());
        }
        rowSeconds.push_back(seconds);
        std::fprintf(stderr, "\rexport: %u/%u rows", writtenRows + failedRows, rowCount);
        std::fflush(stderr);
    }

    // Prints the closing summary and returns the exit code.
    int Finish(double seconds) {
        std::fputc('\n', stderr);
        std::sort(rowSeconds.begin(), rowSeconds.end());
        const double median = rowSeconds.empty() ? 0 : rowSeconds[rowSeconds.size() / 2];
        std::printf("export: %u rows written, %u failed, %.1f MB in %.2f s (median row %.1f ms)\n",
                    writtenRows, failedRows, static_cast<double>(writtenBytes) / 1e6, seconds, median * 1e3);
        std::fflush(stdout);
        if (failedRows != 0) {
            return Fail(std::to_string(failedRows) + " of " + std::to_string(rowCount) +
                        " rows could not be exported");
        }
        return 0;
    }

    const RowBatchOptions& options;

private:
    std::atomic<std::uint32_t> nextRow;
    const std::uint32_t rowCount;
    std::mutex mutex;
    std::uint32_t writtenRows = 0;
    std::uint32_t failedRows = 0;
    std::uint64_t writtenBytes = 0;
    std::vector<double> rowSeconds;
};

void ExportRowsOnThread(BatchState& state) {
    const RowBatchOptions& options = state.options;
    std::string openError;
    const std::unique_ptr<CKOEIFile_BIN_SM5> archive =
        OpenArchive(options.archive, ArchiveReader::Orochiz, openError);
    std::uint32_t row = 0;
    while (state.TakeRow(row)) {
        const Clock::time_point start = Clock::now();
        std::vector<std::string> warnings;
        std::string error = openError;
        GltfFiles files;
        const std::string name = RowFileName(row);
        const std::string path = (std::filesystem::u8path(options.folder) / name).string();
        const bool written = archive != nullptr &&
                             ExportScheduleRow(*archive, options.archive, row, GltfForm::Binary, name, files,
                                               warnings, error) &&
                             WriteExportFiles(path, GltfForm::Binary, files, error);
        const std::chrono::duration<double> seconds = Clock::now() - start;
        state.Report(row, written, files.scene.size(), seconds.count(), warnings, error);
    }
}

} // namespace

bool ExportScheduleRow(CFileBase& archive, const std::string& archiveName, std::uint32_t row, GltfForm form,
                       const std::string& fileStem, GltfFiles& files, std::vector<std::string>& warnings,
                       std::string& error) {
    const ModelScheduleRow& entries = ModelSchedule()[row];
    std::unique_ptr<std::uint8_t[]> modelBytes, textureBytes;
    std::uint32_t modelSize = 0, textureSize = 0;
    // Extracted as the viewer does: the model entry first, then the texture entry.
    if (!ExtractArchiveEntry(archive, archiveName, entries.modelEntry, modelBytes, modelSize, error) ||
        !ExtractArchiveEntry(archive, archiveName, entries.textureEntry, textureBytes, textureSize, error)) {
        error = "row " + std::to_string(row) + ": " + error;
        return false;
    }
    const ExportInput model{archiveName + ":" + std::to_string(entries.modelEntry),
                            {modelBytes.get(), modelSize}};
    const ExportInput texture{archiveName + ":" + std::to_string(entries.textureEntry),
                              {textureBytes.get(), textureSize}};
    if (!ExportModelScene(model, &texture, form, fileStem, files, warnings, error)) {
        error = "row " + std::to_string(row) + ": " + error;
        return false;
    }
    return true;
}

int ExportRowBatch(const RowBatchOptions& options) {
    std::string error;
    if (OpenArchive(options.archive, ArchiveReader::Orochiz, error) == nullptr) {
        return Fail(error);
    }
    OutputFolder folder;
    if (!folder.Create(options.folder, error)) {
        return Fail(error);
    }
    const Clock::time_point start = Clock::now();
    BatchState state(options);
    const unsigned threadCount = std::clamp(options.threads, 1u, options.lastRow - options.firstRow + 1);
    std::vector<std::jthread> workers;
    try {
        for (unsigned i = 1; i < threadCount; ++i) {
            workers.emplace_back([&state] { ExportRowsOnThread(state); });
        }
    } catch (const std::exception&) {
        // A thread that cannot be started leaves its share of the rows to the others.
    }
    ExportRowsOnThread(state);
    workers.clear(); // joins them
    const std::chrono::duration<double> seconds = Clock::now() - start;
    const int exitCode = state.Finish(seconds.count());
    if (exitCode != 0) {
        folder.RemoveCreated(); // only if nothing was written in it
    }
    return exitCode;
}

} // namespace tavro::tools
