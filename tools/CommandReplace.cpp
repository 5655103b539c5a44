// tavro replace ARCHIVE.bin INDEX FILE [--store|--compress] (-o OUTDIR | --in-place): a new archive pair
// with one entry replaced by FILE (LZP2-compressed unless --store), every other entry copied byte for
// byte as it is stored, the index rewritten at the old index's size. Everything that can be checked is
// checked before a byte is written; the pair is written beside its target and swapped in only once it
// is complete and opens (ArchivePairOutput), so a failure leaves the original pair untouched.
#include "authoring/Lzp2Encoder.h"
#include "tools/ArchiveLimits.h"
#include "tools/ArchiveOpening.h"
#include "tools/ArchivePairOutput.h"
#include "tools/Commands.h"
#include "tools/EntryKind.h"
#include "tools/InputFile.h"
#include "tools/OutputFolder.h"
#include "tools/PathDiagnosis.h"
#include "tools/Report.h"
#include "tools/StoredEntries.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <limits>

namespace tavro::tools {
namespace {

namespace fs = std::filesystem;

struct ReplaceOptions {
    std::string archive;
    std::string index;
    std::string file;
    bool store = false;
    bool compress = false;
    std::string output;
    bool inPlace = false;
    std::string reader = "orochiz";
};

// The replacement as it will be stored: compressed bytes, or the file's own.
struct Replacement {
    InputBytes file;
    std::vector<std::uint8_t> encoded;
    bool compressed = false;

    std::span<const std::uint8_t> Stored() const {
        return compressed ? std::span<const std::uint8_t>(encoded) : std::span<const std::uint8_t>(file);
    }
};

// The target data file: the archive itself in place, or a file of the same name in OUTDIR (never the
// archive's own folder, which is what --in-place is for).
bool PlanTarget(const ReplaceOptions& options, OutputFolder& folder, std::string& target,
                std::string& error) {
    if (options.inPlace) {
        target = options.archive;
        return true;
    }
    if (!folder.Create(options.output, error)) {
        return false;
    }
    const fs::path source = fs::u8path(options.archive);
    std::error_code code;
    if (fs::equivalent(fs::u8path(options.output), source.parent_path().empty() ? "." : source.parent_path(),
                       code)) {
        error = options.output + ": is the archive's own folder; use --in-place to replace the archive there";
        return false;
    }
    target = (fs::u8path(options.output) / source.filename()).string();
    return true;
}

bool CopyEntries(CFileBase& archive, CStoredEntries& data, std::uint32_t replaced,
                 const Replacement& replacement, authoring::CArchiveWriter& writer, std::string& error) {
    std::vector<std::uint8_t> stored;
    for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i) {
        bool added = false;
        if (i == replaced) {
            added = replacement.file.empty()
                        ? writer.AddEmpty()
                        : (replacement.compressed
                               ? writer.AddPrecompressed(replacement.encoded,
                                                         static_cast<std::uint32_t>(replacement.file.size()))
                               : writer.AddStored(replacement.file));
        } else if (archive.GetEntryStoredSize(i) == 0) {
            added = writer.AddEmpty();
        } else {
            if (!data.ReadStored(archive, i, stored)) {
                error = "entry " + std::to_string(i) + " cannot be read from the data file";
                return false;
            }
            added = archive.IsEntryCompressed(i) ? writer.AddPrecompressed(stored, archive.GetEntrySize(i))
                                                 : writer.AddStored(stored);
        }
        if (!added) {
            return false;
        }
    }
    return true;
}

int RunReplace(const ReplaceOptions& options) {
    ArchiveReader reader{};
    if (!ParseArchiveReader(options.reader, reader)) {
        return Fail("--reader must be orochiz or sm5, not '" + options.reader + "'");
    }
    if (options.store && options.compress) {
        return Fail("give --store or --compress, not both");
    }
    if (options.inPlace == !options.output.empty()) {
        return Fail("give either -o OUTDIR or --in-place (see tavro replace --help)");
    }
    std::string error;
    std::unique_ptr<CKOEIFile_BIN_SM5> archive = OpenArchive(options.archive, reader, error);
    if (archive == nullptr) {
        return Fail(error);
    }
    std::uint32_t index = 0;
    if (!ParseEntryIndex(options.index, index) || index >= archive->GetEntryCount()) {
        return Fail(options.archive + ": '" + options.index + "' is not an entry of this archive (it has " +
                    std::to_string(archive->GetEntryCount()) + " entries)");
    }
    // The size is checked before the file is read: the index holds 32-bit sizes.
    std::error_code code;
    if (CheckRegularFile(options.file).empty() &&
        fs::file_size(fs::u8path(options.file), code) > std::numeric_limits<std::uint32_t>::max()) {
        return Fail(options.file + ": larger than 4 GiB - 1 byte, the most an archive entry can hold");
    }
    Replacement replacement;
    if (!ReadInput(options.file, replacement.file, error)) {
        return Fail(error);
    }
    replacement.compressed = !options.store && !replacement.file.empty();
    if (replacement.compressed) {
        replacement.encoded = authoring::Lzp2Encode(replacement.file);
    }
    if (replacement.Stored().size() > std::numeric_limits<std::uint32_t>::max()) {
        return Fail(options.file + ": compressed it is larger than 4 GiB; try --store");
    }
    CStoredEntries data;
    if (!data.Open(options.archive)) {
        return Fail(options.archive + ": the data file cannot be read");
    }
    std::uint64_t total = 0;
    for (std::uint32_t i = 0; i < archive->GetEntryCount(); ++i) {
        if (i != index && data.LiesPastEnd(*archive, i)) {
            return Fail(options.archive + ": entry " + std::to_string(i) +
                        " lies past the end of the data file, so it cannot be copied");
        }
        total += PaddedEntrySize(i == index ? replacement.Stored().size() : archive->GetEntryStoredSize(i));
    }
    if (total > kMaxDataFileSize) {
        return Fail("the new data file would be " + std::to_string(total) +
                    " bytes, past the 4 GiB that the index's 32-bit offsets reach");
    }
    // The old index is kept wherever the new records do not set it (third words, bytes past the records).
    InputBytes oldIndex;
    if (!ReadInput(fs::u8path(options.archive).replace_extension(".idx").string(), oldIndex, error)) {
        return Fail(error);
    }

    OutputFolder folder;
    std::string target;
    if (!PlanTarget(options, folder, target, error)) {
        folder.RemoveCreated();
        return Fail(error);
    }
    const EntryKind before = data.KindOf(*archive, index);
    const EntryKind after = KindOfBytes(replacement.file);
    if (before != after && before != EntryKind::Empty) {
        std::fprintf(stderr, "tavro: warning: entry %u was %s; %s is %s\n", index, KindDescription(before),
                     options.file.c_str(), KindDescription(after));
    }
    bool written = false;
    {
        ArchivePairOutput output(target);
        written = output.Open(error);
        if (written && (!CopyEntries(*archive, data, index, replacement, output.Writer(), error) ||
                        !output.Writer().Finish(static_cast<std::uint32_t>(oldIndex.size()), oldIndex))) {
            error = error.empty() ? output.WriteError() : error;
            written = false;
        }
        const std::uint32_t count = archive->GetEntryCount();
        archive.reset(); // the old pair is closed before it is swapped out
        data.Close();
        written = written &&
                  output.Commit(
                      reader,
                      [&](CFileBase& made, std::string& why) {
                          if (made.GetEntryCount() != count) {
                              why = "the new archive does not hold " + std::to_string(count) + " entries";
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
    std::fprintf(stderr, "replace: wrote %s with entry %u replaced (%s)\n", target.c_str(), index,
                 replacement.compressed ? "compressed" : "stored");
    return 0;
}

} // namespace

void AddReplaceCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ReplaceOptions>();
    CLI::App* command = app.add_subcommand(
        "replace",
        "Write the archive pair again with one entry replaced by a file, every other entry unchanged");
    command->add_option("archive", options->archive, "the archive's data file, NAME.bin")->required();
    command->add_option("index", options->index, "the entry to replace")->required();
    command->add_option("file", options->file, "the new content: a file, or ARCHIVE.bin:INDEX")->required();
    command->add_flag("--store", options->store, "keep the new entry uncompressed");
    command->add_flag("--compress", options->compress, "compress the new entry with LZP2 (the default)");
    command->add_option("-o,--output", options->output,
                        "the folder for the new pair (not the archive's own)");
    command->add_flag(
        "--in-place", options->inPlace,
        "replace the archive pair itself, keeping it as .bak files until the new one is in place");
    command->add_option("--reader", options->reader, "archive reader: orochiz (default) or sm5");
    command->callback([options, &exitCode] {
        exitCode = RunReportingMemory(options->archive, [&] { return RunReplace(*options); });
    });
}

} // namespace tavro::tools
