// tavro list ARCHIVE.bin [--json] [--type T] [--non-empty] [--reader orochiz|sm5]: the entry table of an
// archive with each entry's kind, told from its first decoded bytes.
#include "tools/ArchiveOpening.h"
#include "tools/Commands.h"
#include "tools/EntryKind.h"
#include "tools/HumanSize.h"
#include "tools/Report.h"
#include "tools/StoredEntries.h"

#include <CLI/CLI.hpp>

#include <cinttypes>
#include <cstdio>
#include <optional>

namespace tavro::tools {

namespace {

struct ListOptions {
    std::string archive;
    std::string reader = "orochiz";
    std::string type;
    bool nonEmpty = false;
    bool json = false;
};

struct ListedEntry {
    std::uint32_t index;
    EntryKind kind;
};

void PrintJson(CFileBase& archive, const std::vector<ListedEntry>& entries) {
    std::printf("{\"count\": %" PRIu32 ", \"entries\": [", archive.GetEntryCount());
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const std::uint32_t i = entries[k].index;
        std::printf("%s\n  {\"index\": %" PRIu32 ", \"offset\": %" PRIu64 ", \"storedSize\": %" PRIu32
                    ", \"size\": %" PRIu32 ", \"compressed\": %s, \"type\": \"%s\"}",
                    k == 0 ? "" : ",", i, archive.GetEntryOffset(i), archive.GetEntryStoredSize(i),
                    archive.GetEntrySize(i), archive.IsEntryCompressed(i) ? "true" : "false",
                    KindName(entries[k].kind));
    }
    std::printf("%s]}\n", entries.empty() ? "" : "\n");
}

void PrintTable(CFileBase& archive, const std::string& name, const std::vector<ListedEntry>& entries) {
    const std::uint32_t count = archive.GetEntryCount();
    if (entries.size() == count) {
        std::printf("%s: %" PRIu32 " entries\n", name.c_str(), count);
    } else {
        std::printf("%s: %" PRIu32 " entries, %zu shown\n", name.c_str(), count, entries.size());
    }
    std::printf("%6s %12s %11s %11s  %-10s  %s\n", "index", "offset", "stored", "size", "compressed", "type");
    for (const ListedEntry& entry : entries) {
        const std::uint32_t i = entry.index;
        std::printf("%6" PRIu32 " %12" PRIu64 " %11s %11s  %-10s  %s\n", i, archive.GetEntryOffset(i),
                    HumanSize(archive.GetEntryStoredSize(i)).c_str(),
                    HumanSize(archive.GetEntrySize(i)).c_str(), archive.IsEntryCompressed(i) ? "yes" : "no",
                    KindName(entry.kind));
    }
}

int RunList(const ListOptions& options) {
    ArchiveReader reader{};
    if (!ParseArchiveReader(options.reader, reader)) {
        return Fail("--reader must be orochiz or sm5, not '" + options.reader + "'");
    }
    std::optional<EntryKind> wanted;
    if (!options.type.empty()) {
        EntryKind kind{};
        if (!ParseKindName(options.type, kind)) {
            return Fail("--type must be g1m, g1t, dds, empty, other or unreadable, not '" + options.type +
                        "'");
        }
        wanted = kind;
    }
    std::string error;
    std::unique_ptr<CKOEIFile_BIN_SM5> archive = OpenArchive(options.archive, reader, error);
    if (archive == nullptr) {
        return Fail(error);
    }
    CStoredEntries data;
    if (!data.Open(options.archive)) {
        return Fail(options.archive + ": the data file cannot be read");
    }
    std::vector<ListedEntry> entries;
    std::optional<std::uint32_t> firstPastEnd;
    for (std::uint32_t i = 0; i < archive->GetEntryCount(); ++i) {
        if (!firstPastEnd && data.LiesPastEnd(*archive, i)) {
            firstPastEnd = i;
        }
        const EntryKind kind = data.KindOf(*archive, i);
        if ((!options.nonEmpty || kind != EntryKind::Empty) && (!wanted || kind == *wanted)) {
            entries.push_back({i, kind});
        }
    }
    if (firstPastEnd) {
        std::fprintf(stderr,
                     "tavro: warning: %s is %" PRIu64 " bytes, shorter than its index says: entry %" PRIu32
                     " is the first that lies past its end\n",
                     options.archive.c_str(), data.DataSize(), *firstPastEnd);
    }
    if (options.json) {
        PrintJson(*archive, entries);
    } else {
        PrintTable(*archive, options.archive, entries);
    }
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the listing");
}

} // namespace

void AddListCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* command = app.add_subcommand("list", "List the entries of an archive (.bin with its .idx)");
    command->add_option("archive", options->archive, "the archive's data file, NAME.bin")->required();
    command->add_flag("--json", options->json, "print one JSON object instead of a table");
    command->add_option("--type", options->type,
                        "only entries of this type: g1m, g1t, dds, empty, other or unreadable");
    command->add_flag("--non-empty", options->nonEmpty, "leave out empty entries");
    command->add_option("--reader", options->reader, "archive reader: orochiz (default) or sm5");
    command->callback([options, &exitCode] {
        exitCode = RunReportingMemory(options->archive, [&] { return RunList(*options); });
    });
}

} // namespace tavro::tools
