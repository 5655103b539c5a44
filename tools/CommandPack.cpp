// tavro pack DIR -o OUT.bin [--store] [--entries N] [--reader orochiz|sm5]: an archive pair made from a
// folder of N.ext files (what extract --all writes), entry N from the file N.ext, every other entry
// empty, with the entry count of the smallest known index that holds them all. Every name and size is
// checked before a byte is written, and the pair is swapped in only once it is complete and opens.
#include "tools/ArchiveLimits.h"
#include "tools/ArchiveOpening.h"
#include "tools/ArchivePairOutput.h"
#include "tools/Commands.h"
#include "tools/InputFile.h"
#include "tools/OutputExtension.h"
#include "tools/OutputFolder.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <map>
#include <span>

namespace tavro::tools {
namespace {

namespace fs = std::filesystem;

struct PackOptions {
    std::string folder;
    std::string output;
    bool store = false;
    std::uint32_t entries = 0;
    std::string reader = "orochiz";
};

// Entry index to file, from names "N" or "N.ext"; false with error for any other name, a folder, or
// two files for one entry.
bool CollectEntryFiles(const std::string& folder, std::map<std::uint32_t, fs::path>& files,
                       std::string& error) {
    std::error_code code;
    fs::directory_iterator it(fs::u8path(folder), code);
    if (code) {
        error = folder + ": cannot be read as a folder (" + code.message() + ")";
        return false;
    }
    for (const fs::directory_entry& entry : it) {
        const std::string name = entry.path().filename().string();
        const std::string number = name.substr(0, name.find('.'));
        std::uint32_t index = 0;
        if (!ParseEntryIndex(number, index) || (number.size() > 1 && number[0] == '0') ||
            !entry.is_regular_file(code)) {
            error = entry.path().string() + ": not an entry file; the folder may hold only files named N.ext";
            return false;
        }
        if (!files.emplace(index, entry.path()).second) {
            error = entry.path().string() + ": a second file for entry " + std::to_string(index) + " (with " +
                    files[index].filename().string() + ")";
            return false;
        }
    }
    return true;
}

// The entry count and index size of the smallest known index that holds entries, or the one asked for.
bool ChooseIndex(ArchiveReader reader, std::uint32_t needed, std::uint32_t asked, KnownIndexSize& chosen,
                 std::string& error) {
    const std::span<const KnownIndexSize> table = reader == ArchiveReader::Orochiz
                                                      ? std::span<const KnownIndexSize>(kOrochizIndexSizes)
                                                      : std::span<const KnownIndexSize>(kSm5IndexSizes);
    std::string counts;
    bool found = false;
    for (const KnownIndexSize& row : table) {
        counts += (counts.empty() ? "" : ", ") + std::to_string(row.entryCount);
        const bool fits = asked != 0 ? row.entryCount == asked : row.entryCount >= needed;
        if (fits && row.entryCount >= needed && (!found || row.entryCount < chosen.entryCount)) {
            chosen = row;
            found = true;
        }
    }
    if (!found) {
        error = asked != 0 && asked >= needed
                    ? "--entries must be an entry count the reader knows: " + counts
                    : "entries up to " + std::to_string(needed - 1) + " need an index for " +
                          std::to_string(needed) + " entries or more; the reader knows " + counts;
    }
    return found;
}

int RunPack(const PackOptions& options) {
    ArchiveReader reader{};
    if (!ParseArchiveReader(options.reader, reader)) {
        return Fail("--reader must be orochiz or sm5, not '" + options.reader + "'");
    }
    std::string error;
    if (!CheckOutputExtension(options.output, ".bin", "an archive pair, NAME.bin with NAME.idx", error)) {
        return Fail(error);
    }
    std::map<std::uint32_t, fs::path> files;
    if (!CollectEntryFiles(options.folder, files, error)) {
        return Fail(error);
    }
    if (files.empty()) {
        return Fail(options.folder + ": holds no entry files (N.ext)");
    }
    KnownIndexSize index{};
    if (!ChooseIndex(reader, files.rbegin()->first + 1, options.entries, index, error)) {
        return Fail(error);
    }
    // Sizes first: the index holds 32-bit sizes and offsets. Compression can only shrink the total
    // checked here by a little or grow it by a little; the writer refuses an entry past 4 GiB.
    std::uint64_t total = 0;
    for (const auto& [number, path] : files) {
        std::error_code code;
        const std::uint64_t size = fs::file_size(path, code);
        if (size > std::numeric_limits<std::uint32_t>::max()) {
            return Fail(path.string() + ": larger than 4 GiB - 1 byte, the most an archive entry can hold");
        }
        total += PaddedEntrySize(size);
    }
    if (options.store && total > kMaxDataFileSize) {
        return Fail("the data file would be " + std::to_string(total) +
                    " bytes, past the 4 GiB that the index's 32-bit offsets reach");
    }

    OutputFolder folder;
    const fs::path target = fs::u8path(options.output);
    if (!folder.Create(target.parent_path().empty() ? "." : target.parent_path().string(), error)) {
        return Fail(error);
    }
    bool written = false;
    {
        ArchivePairOutput output(options.output);
        written = output.Open(error);
        authoring::CArchiveWriter& writer = output.Writer();
        for (std::uint32_t i = 0; written && i < index.entryCount; ++i) {
            const auto file = files.find(i);
            if (file == files.end()) {
                written = writer.AddEmpty();
                continue;
            }
            InputBytes bytes;
            if (!ReadInput(file->second.string(), bytes, error)) {
                written = false;
                break;
            }
            written = options.store ? writer.AddStored(bytes) : writer.AddCompressed(bytes);
        }
        if (written && !writer.Finish(index.indexSize)) {
            written = false;
        }
        if (!written && error.empty()) {
            error = output.WriteError();
        }
        written = written && output.Commit(
                                 reader,
                                 [&index](CFileBase& made, std::string& why) {
                                     if (made.GetEntryCount() != index.entryCount) {
                                         why = "the new archive does not hold " +
                                               std::to_string(index.entryCount) + " entries";
                                         return false;
                                     }
                                     return true;
                                 },
                                 error);
    }
    if (!written) {
        folder.RemoveCreated();
        return Fail(error);
    }
    std::fprintf(stderr, "pack: wrote %s (%u entries, %zu from files)\n", options.output.c_str(),
                 index.entryCount, files.size());
    return 0;
}

} // namespace

void AddPackCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<PackOptions>();
    CLI::App* command = app.add_subcommand(
        "pack", "Build an archive pair from a folder of N.ext files (the inverse of extract --all)");
    command->add_option("folder", options->folder, "the folder of entry files, named N.ext")->required();
    command->add_option("-o,--output", options->output, "the archive's data file to write, NAME.bin")
        ->required();
    command->add_flag("--store", options->store, "keep every entry uncompressed (default: LZP2)");
    command->add_option("--entries", options->entries,
                        "the archive's entry count, one the reader knows (default: the smallest that fits)");
    command->add_option("--reader", options->reader,
                        "archive reader whose index sizes to use: orochiz or sm5");
    command->callback([options, &exitCode] {
        exitCode = RunReportingMemory(options->folder, [&] { return RunPack(*options); });
    });
}

} // namespace tavro::tools
