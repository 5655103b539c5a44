// tavro export: a model as a glTF 2.0 scene. INPUT -o OUT.glb|OUT.gltf [--texture TEX] for a G1M file
// or archive entry; ARCHIVE.bin --row R -o OUT for a schedule row; ARCHIVE.bin --rows A-B|all -o DIR
// [--threads N] for a range of rows, one row-NNN.glb each.
#include "app/ModelSchedule.h"
#include "export/ModelExport.h"
#include "tools/ArchiveOpening.h"
#include "tools/Commands.h"
#include "tools/ExportFiles.h"
#include "tools/ExportRows.h"
#include "tools/InputFile.h"
#include "tools/Report.h"
#include "tools/RowRangeArgument.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <optional>
#include <thread>

namespace tavro::tools {
namespace {

constexpr unsigned kMaxThreads = 256;

struct ExportOptions {
    std::string input;
    std::string output;
    std::string texture;
    std::optional<std::uint32_t> row;
    std::string rows;
    unsigned threads = 0; // 0: one per core
};

void PrintWarnings(const std::vector<std::string>& warnings) {
    for (const std::string& warning : warnings) {
        std::fprintf(stderr, "tavro: warning: %s\n", warning.c_str());
    }
}

int ExportBatch(const ExportOptions& options) {
    RowBatchOptions batch{options.input, options.output};
    if (!ParseRowRange(options.rows, batch.firstRow, batch.lastRow)) {
        return Fail(DescribeBadRowRange(options.rows));
    }
    if (options.threads > kMaxThreads) {
        return Fail("--threads must be from 1 to " + std::to_string(kMaxThreads));
    }
    batch.threads =
        options.threads != 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    return ExportRowBatch(batch);
}

int ExportSingle(const ExportOptions& options, GltfForm form) {
    std::string error;
    std::vector<std::string> warnings;
    GltfFiles files;
    const std::string stem = OutputStem(options.output);
    if (options.row) {
        if (*options.row >= kModelScheduleRowCount) {
            return Fail("--row must be from 0 to " + std::to_string(kModelScheduleRowCount - 1) + ", not " +
                        std::to_string(*options.row));
        }
        const std::unique_ptr<CKOEIFile_BIN_SM5> archive =
            OpenArchive(options.input, ArchiveReader::Orochiz, error);
        if (archive == nullptr ||
            !ExportScheduleRow(*archive, options.input, *options.row, form, stem, files, warnings, error)) {
            return Fail(error);
        }
    } else {
        InputBytes modelBytes, textureBytes;
        if (!ReadInput(options.input, modelBytes, error) ||
            (!options.texture.empty() && !ReadInput(options.texture, textureBytes, error))) {
            return Fail(error);
        }
        const ExportInput model{options.input, modelBytes};
        const ExportInput texture{options.texture, textureBytes};
        if (!ExportModelScene(model, options.texture.empty() ? nullptr : &texture, form, stem, files,
                              warnings, error)) {
            return Fail(error);
        }
    }
    PrintWarnings(warnings);
    if (!WriteExportFiles(options.output, form, files, error)) {
        return Fail(error);
    }
    return 0;
}

int RunExport(const ExportOptions& options) {
    if (options.row && !options.rows.empty()) {
        return Fail("--row and --rows cannot be used together");
    }
    if (!options.texture.empty() && (options.row || !options.rows.empty())) {
        return Fail("--texture names the texture of a model file or entry; a row brings its own");
    }
    if (options.threads != 0 && options.rows.empty()) {
        return Fail("--threads applies to --rows only");
    }
    if (!options.rows.empty()) {
        return ExportBatch(options);
    }
    GltfForm form;
    if (!GltfFormOfPath(options.output, form)) {
        return Fail(options.output + ": the output's name must end in .glb (binary) or .gltf (JSON)");
    }
    return ExportSingle(options, form);
}

} // namespace

void AddExportCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = app.add_subcommand(
        "export", "Export a model, or schedule rows, as glTF 2.0 scenes for Blender and other tools");
    command
        ->add_option("INPUT", options->input,
                     "G1M model or ARCHIVE.bin:INDEX; with --row or --rows, the archive's data file")
        ->required();
    command
        ->add_option("-o,--output", options->output,
                     "OUT.glb (everything in one file) or OUT.gltf (with OUT.bin and OUT.png beside it); "
                     "with --rows, the folder for row-NNN.glb")
        ->required();
    command->add_option("--texture", options->texture,
                        "G1T pack or DDS image (or ARCHIVE.bin:INDEX) for the model's texture");
    command->add_option("--row", options->row, "the schedule row's model with its texture pack, 0 to 331");
    command->add_option("--rows", options->rows, "all, or A-B: every row from A to B, one file each");
    command->add_option("--threads", options->threads, "threads for --rows (default: one per core)");
    command->callback([options, &exitCode] {
        exitCode = RunReportingMemory(options->input, [&] { return RunExport(*options); });
    });
}

} // namespace tavro::tools
