// tavro make-demo DIR [--scale S] [--threads N]: writes the demo archive, LINKDATA1.bin and
// LINKDATA1.idx, into DIR: a G1T pack and a G1M model at every entry the viewer's schedule names.
#include "authoring/ArchiveWriter.h"
#include "authoring/demo/DemoArchive.h"
#include "tools/Commands.h"
#include "tools/OutputFile.h"
#include "tools/OutputFolder.h"
#include "tools/ProgressLine.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace tavro::tools {
namespace {

struct MakeDemoOptions {
    std::string directory;
    float scale = 1;
    unsigned threads = 0;
};

// The pair is written to two temporary files that are put in place only when both are complete, the
// index first, so a failure leaves the folder as it was (and removes it when this run made it).
bool WriteArchivePair(const std::string& directory, const authoring::DemoOptions& demo, std::string& error) {
    OutputFolder folder;
    if (!folder.Create(directory, error)) {
        return false;
    }
    {
        const std::string bin = directory + "/" + authoring::kDemoArchiveName;
        OutputFile data;
        OutputFile index;
        std::string writeError; // the file's own message, more precise than the writer's
        authoring::CArchiveWriter writer;
        writer.Create([&](std::span<const std::uint8_t> bytes) { return data.Write(bytes, writeError); },
                      [&](std::span<const std::uint8_t> bytes) { return index.Write(bytes, writeError); });
        if (data.Open(bin, error) && index.Open(bin.substr(0, bin.size() - 4) + ".idx", error)) {
            if (!authoring::WriteDemoEntries(writer, demo, error)) {
                error = writeError.empty() ? error : writeError;
            } else if (data.Finish(error) && index.Finish(error) && index.Commit(error) &&
                       data.Commit(error)) {
                return true;
            }
        }
    }
    folder.RemoveCreated();
    return false;
}

int RunMakeDemo(const MakeDemoOptions& options) {
    authoring::DemoOptions demo;
    demo.scale = options.scale;
    demo.threads = options.threads != 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    ProgressLine progress;
    demo.progress = [&progress](std::uint32_t done, std::uint32_t total) {
        progress.Show("make-demo: " + std::to_string(done) + "/" + std::to_string(total) + " rows");
    };
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    const bool written = WriteArchivePair(options.directory, demo, error);
    progress.Break();
    if (!written) {
        return Fail(error);
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::error_code code;
    const auto size = std::filesystem::file_size(
        std::filesystem::path(options.directory) / authoring::kDemoArchiveName, code);
    std::fprintf(stderr, "make-demo: wrote %s/%s (%.1f MB, %u entries) in %.1f s\n",
                 options.directory.c_str(), authoring::kDemoArchiveName,
                 code ? 0.0 : static_cast<double>(size) / (1 << 20), authoring::kDemoEntryCount,
                 seconds.count());
    return 0;
}

} // namespace

void AddMakeDemoCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<MakeDemoOptions>();
    CLI::App* command =
        app.add_subcommand("make-demo", "Write a demo archive (LINKDATA1.bin and .idx) of generated models");
    command->add_option("directory", options->directory, "the folder to write the archive pair into")
        ->required();
    command
        ->add_option("--scale", options->scale,
                     "size of the models and textures, above 0 up to 1 (default 1)")
        ->check(CLI::Range(1e-4f, 1.0f));
    command->add_option("--threads", options->threads, "worker threads (default: one per core)")
        ->check(CLI::Range(1u, 64u));
    command->callback([options, &exitCode] { exitCode = RunMakeDemo(*options); });
}

} // namespace tavro::tools
