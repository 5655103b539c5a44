// tavro extract ARCHIVE.bin INDEX... [-o PATH] [--reader orochiz|sm5]: entries as files, decoded.
// One index with -o writes that file; otherwise each entry becomes entry-<index>.bin in the folder -o
// names (default: the current folder). Every entry is written to a finished temporary file before any
// is put in place, so a failure leaves every file (and folder) as it was before the run.
#include "tools/ArchiveOpening.h"
#include "tools/Commands.h"
#include "tools/OutputFile.h"
#include "tools/OutputFolder.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <new>
#include <system_error>
#include <vector>

namespace tavro::tools {

namespace {

namespace fs = std::filesystem;

struct ExtractOptions {
    std::string archive;
    std::vector<std::string> indices;
    std::string output;
    std::string reader = "orochiz";
};

// Where each entry goes: a single entry with -o naming something other than a folder goes exactly
// there; otherwise entry-<index>.bin in the output folder.
bool PlanOutputs(const ExtractOptions& options, const std::vector<std::uint32_t>& indices,
                 OutputFolder& folder, std::vector<fs::path>& outputs, std::string& error) {
    std::error_code code;
    const fs::path output = fs::u8path(options.output.empty() ? "." : options.output);
    const bool single = indices.size() == 1 && !options.output.empty() && !fs::is_directory(output, code);
    if (single) {
        outputs.push_back(output);
        return true;
    }
    if (!folder.Create(output.string(), error)) {
        return false;
    }
    for (const std::uint32_t index : indices) {
        outputs.push_back(output / ("entry-" + std::to_string(index) + ".bin"));
    }
    return true;
}

int RunExtract(const ExtractOptions& options) {
    ArchiveReader reader{};
    if (!ParseArchiveReader(options.reader, reader)) {
        return Fail("--reader must be orochiz or sm5, not '" + options.reader + "'");
    }
    std::vector<std::uint32_t> indices;
    for (const std::string& text : options.indices) {
        std::uint32_t index = 0;
        if (!ParseEntryIndex(text, index)) {
            return Fail(options.archive + ": '" + text + "' is not an entry index");
        }
        indices.push_back(index);
    }
    std::string error;
    std::unique_ptr<CKOEIFile_BIN_SM5> archive = OpenArchive(options.archive, reader, error);
    if (archive == nullptr) {
        return Fail(error);
    }
    OutputFolder folder;
    std::vector<fs::path> outputs;
    if (!PlanOutputs(options, indices, folder, outputs, error)) {
        return Fail(error);
    }
    std::vector<std::unique_ptr<OutputFile>> files;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        std::unique_ptr<std::uint8_t[]> bytes;
        std::uint32_t size = 0;
        files.push_back(std::make_unique<OutputFile>());
        OutputFile& file = *files.back();
        if (!ExtractArchiveEntry(*archive, options.archive, indices[i], bytes, size, error) ||
            !file.Open(outputs[i].string(), error) || !file.Write({bytes.get(), size}, error) ||
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
    return 0;
}

} // namespace

void AddExtractCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ExtractOptions>();
    CLI::App* command = app.add_subcommand("extract", "Extract archive entries, decoded, as files");
    command->add_option("archive", options->archive, "the archive's data file, NAME.bin")->required();
    command->add_option("indices", options->indices, "entry indices")->required();
    command->add_option("-o,--output", options->output,
                        "the file for a single entry, or the folder for entry-<index>.bin files");
    command->add_option("--reader", options->reader, "archive reader: orochiz (default) or sm5");
    command->callback([options, &exitCode] {
        try {
            exitCode = RunExtract(*options);
        } catch (const std::bad_alloc&) {
            exitCode = Fail(options->archive + ": not enough memory");
        }
    });
}

} // namespace tavro::tools
