// tavro extract ARCHIVE.bin INDEX... [-o PATH] [--reader orochiz|sm5]: entries as files, decoded.
// One index with -o writes that file; otherwise each entry becomes entry-<index>.bin in the folder -o
// names (default: the current folder). A failure removes every file this run wrote.
#include "tools/ArchiveOpening.h"
#include "tools/Commands.h"
#include "tools/InputFile.h"
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
                 std::vector<fs::path>& outputs, std::string& error) {
    std::error_code code;
    const fs::path output = fs::u8path(options.output.empty() ? "." : options.output);
    const bool single = indices.size() == 1 && !options.output.empty() && !fs::is_directory(output, code);
    if (single) {
        outputs.push_back(output);
        return true;
    }
    if (!fs::is_directory(output, code)) {
        fs::create_directories(output, code);
        if (code) {
            error = options.output + ": cannot create the output folder (" + code.message() + ")";
            return false;
        }
    }
    for (const std::uint32_t index : indices) {
        outputs.push_back(output / ("entry-" + std::to_string(index) + ".bin"));
    }
    return true;
}

void RemoveAll(const std::vector<fs::path>& written) {
    for (const fs::path& path : written) {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
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
    std::vector<fs::path> outputs;
    if (!PlanOutputs(options, indices, outputs, error)) {
        return Fail(error);
    }
    std::vector<fs::path> written;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        std::unique_ptr<std::uint8_t[]> bytes;
        std::uint32_t size = 0;
        if (!ExtractArchiveEntry(*archive, options.archive, indices[i], bytes, size, error) ||
            !WriteOutputFile(outputs[i].string(), bytes.get(), size, error)) {
            RemoveAll(written);
            return Fail(error);
        }
        written.push_back(outputs[i]);
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
