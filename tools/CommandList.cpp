// tavro list ARCHIVE.bin [--json] [--reader orochiz|sm5]: the entry table of an archive.
#include "tools/ArchiveOpening.h"
#include "tools/Commands.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <cinttypes>
#include <cstdio>

namespace tavro::tools {

namespace {

struct ListOptions {
    std::string archive;
    std::string reader = "orochiz";
    bool json = false;
};

void PrintJson(CFileBase& archive) {
    const std::uint32_t count = archive.GetEntryCount();
    std::printf("{\"count\": %" PRIu32 ", \"entries\": [", count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::printf("%s\n  {\"index\": %" PRIu32 ", \"offset\": %" PRIu64 ", \"storedSize\": %" PRIu32
                    ", \"size\": %" PRIu32 ", \"compressed\": %s}",
                    i == 0 ? "" : ",", i, archive.GetEntryOffset(i), archive.GetEntryStoredSize(i),
                    archive.GetEntrySize(i), archive.IsEntryCompressed(i) ? "true" : "false");
    }
    std::printf("%s]}\n", count == 0 ? "" : "\n");
}

void PrintTable(CFileBase& archive, const std::string& name) {
    const std::uint32_t count = archive.GetEntryCount();
    std::printf("%s: %" PRIu32 " entries\n", name.c_str(), count);
    std::printf("%6s %12s %11s %11s  %s\n", "index", "offset", "storedSize", "size", "compressed");
    for (std::uint32_t i = 0; i < count; ++i) {
        std::printf("%6" PRIu32 " %12" PRIu64 " %11" PRIu32 " %11" PRIu32 "  %s\n", i,
                    archive.GetEntryOffset(i), archive.GetEntryStoredSize(i), archive.GetEntrySize(i),
                    archive.IsEntryCompressed(i) ? "yes" : "no");
    }
}

int RunList(const ListOptions& options) {
    ArchiveReader reader{};
    if (!ParseArchiveReader(options.reader, reader)) {
        return Fail("--reader must be orochiz or sm5, not '" + options.reader + "'");
    }
    std::string error;
    std::unique_ptr<CKOEIFile_BIN_SM5> archive = OpenArchive(options.archive, reader, error);
    if (archive == nullptr) {
        return Fail(error);
    }
    if (options.json) {
        PrintJson(*archive);
    } else {
        PrintTable(*archive, options.archive);
    }
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the listing");
}

} // namespace

void AddListCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* command = app.add_subcommand("list", "List the entries of an archive (.bin with its .idx)");
    command->add_option("archive", options->archive, "the archive's data file, NAME.bin")->required();
    command->add_flag("--json", options->json, "print one JSON object instead of a table");
    command->add_option("--reader", options->reader, "archive reader: orochiz (default) or sm5");
    command->callback([options, &exitCode] { exitCode = RunList(*options); });
}

} // namespace tavro::tools
