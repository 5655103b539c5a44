// tavro extract ARCHIVE.bin INDEX|A-B... [--all] [-o PATH] [--reader orochiz|sm5]: entries as files,
// decoded. One index with -o writes that file; otherwise each entry becomes <index>.<type> (98.g1m,
// 97.g1t, 3.bin for other kinds) in the folder -o names (default: the current folder). Ranges and --all
// pass over empty entries. Every entry is written to a finished temporary file before any is put in
// place, so a failure leaves every file (and folder) as it was before the run.
#include "tools/ArchiveOpening.h"
#include "tools/Commands.h"
#include "tools/EntryKind.h"
#include "tools/OutputFile.h"
#include "tools/OutputFolder.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

namespace tavro::tools {

namespace {

namespace fs = std::filesystem;

struct ExtractOptions {
    std::string archive;
    std::vector<std::string> indices;
    bool all = false;
    std::string output;
    std::string reader = "orochiz";
};

struct Selection {
    std::vector<std::uint32_t> indices; // in the order asked, each once
    std::uint32_t skippedEmpty = 0;
    bool single = false; // exactly one index given on its own, no range and no --all
};

// Adds one argument, "N" or "A-B", to selection; false with error when it is not one or names an entry
// the archive does not have.
bool SelectArgument(const std::string& text, CFileBase& archive, const std::string& archiveName,
                    std::set<std::uint32_t>& seen, Selection& selection, std::string& error) {
    const std::size_t dash = text.find('-');
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    const bool range = dash != std::string::npos;
    if (range ? !ParseEntryIndex(text.substr(0, dash), first) ||
                    !ParseEntryIndex(text.substr(dash + 1), last) || first > last
              : !ParseEntryIndex(text, first)) {
        error = archiveName + ": '" + text + "' is not an entry index or a range A-B with A <= B";
        return false;
    }
    last = range ? last : first;
    const std::uint32_t count = archive.GetEntryCount();
    if (last >= count) {
        error = archiveName + ":" + std::to_string(last) + ": no such entry (the archive has " +
                std::to_string(count) + " entries)";
        return false;
    }
    if (!range && archive.GetEntrySize(first) == 0) {
        error = archiveName + ":" + std::to_string(first) + ": the entry is empty";
        return false;
    }
    for (std::uint32_t index = first;; ++index) {
        if (archive.GetEntrySize(index) == 0) {
            ++selection.skippedEmpty;
        } else if (seen.insert(index).second) {
            selection.indices.push_back(index);
        }
        if (index == last) {
            return true;
        }
    }
}

bool Select(const ExtractOptions& options, CFileBase& archive, Selection& selection, std::string& error) {
    if (options.all == !options.indices.empty()) {
        error = options.all ? "give entry indices or --all, not both"
                            : "give entry indices, ranges such as 98-120, or --all";
        return false;
    }
    std::set<std::uint32_t> seen;
    if (options.all) {
        const std::uint32_t count = archive.GetEntryCount();
        return count == 0 || SelectArgument("0-" + std::to_string(count - 1), archive, options.archive, seen,
                                            selection, error);
    }
    for (const std::string& text : options.indices) {
        if (!SelectArgument(text, archive, options.archive, seen, selection, error)) {
            return false;
        }
    }
    selection.single = options.indices.size() == 1 && options.indices[0].find('-') == std::string::npos;
    return true;
}

int RunExtract(const ExtractOptions& options) {
    ArchiveReader reader{};
    if (!ParseArchiveReader(options.reader, reader)) {
        return Fail("--reader must be orochiz or sm5, not '" + options.reader + "'");
    }
    std::string error;
    std::unique_ptr<CKOEIFile_BIN_SM5> archive = OpenArchive(options.archive, reader, error);
    if (archive == nullptr) {
        return Fail(error);
    }
    Selection selection;
    if (!Select(options, *archive, selection, error)) {
        return Fail(error);
    }
    std::error_code code;
    const fs::path output = fs::u8path(options.output.empty() ? "." : options.output);
    const bool toFile = selection.single && !options.output.empty() && !fs::is_directory(output, code);
    OutputFolder folder;
    if (!toFile && !folder.Create(output.string(), error)) {
        return Fail(error);
    }
    std::vector<std::unique_ptr<OutputFile>> files;
    for (const std::uint32_t index : selection.indices) {
        std::unique_ptr<std::uint8_t[]> bytes;
        std::uint32_t size = 0;
        files.push_back(std::make_unique<OutputFile>());
        OutputFile& file = *files.back();
        const bool extracted = ExtractArchiveEntry(*archive, options.archive, index, bytes, size, error);
        const EntryKind kind = KindOfBytes(std::span<const std::uint8_t>(bytes.get(), size));
        const fs::path path = toFile ? output : output / (std::to_string(index) + "." + KindExtension(kind));
        if (!extracted || !file.Open(path.string(), error) || !file.Write({bytes.get(), size}, error) ||
            !file.Finish(error)) {
            files.clear(); // removes the temporary files before their folder
            folder.RemoveCreated();
            return Fail(error);
        }
    }
    // Only a rename can fail from here on; the files already in place are named.
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i]->Commit(error)) {
            return Fail(error + (i == 0 ? std::string()
                                        : "; " + std::to_string(i) + " of " + std::to_string(files.size()) +
                                              " entries were already written"));
        }
    }
    if (!toFile) {
        const std::string skipped =
            selection.skippedEmpty == 0
                ? ""
                : " (" + std::to_string(selection.skippedEmpty) + " empty entries passed over)";
        std::fprintf(stderr, "extract: wrote %zu files to %s%s\n", files.size(), output.string().c_str(),
                     skipped.c_str());
    }
    return 0;
}

} // namespace

void AddExtractCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ExtractOptions>();
    CLI::App* command = app.add_subcommand("extract", "Extract archive entries, decoded, as files");
    command->add_option("archive", options->archive, "the archive's data file, NAME.bin")->required();
    command->add_option("indices", options->indices, "entry indices and ranges such as 98-120");
    command->add_flag("--all", options->all, "every entry that is not empty");
    command->add_option("-o,--output", options->output,
                        "the file for a single entry, or the folder for <index>.<type> files");
    command->add_option("--reader", options->reader, "archive reader: orochiz (default) or sm5");
    command->callback([options, &exitCode] {
        exitCode = RunReportingMemory(options->archive, [&] { return RunExtract(*options); });
    });
}

} // namespace tavro::tools
