// tavro frame-info ARCHIVE.bin --row R [--time-ms T] [--size WxH] --json: the draws of the frame the
// viewer shows, recorded call by call instead of drawn.
#include "gpu/recording/RecordingFactory.h"
#include "tools/Commands.h"
#include "tools/RenderedFrame.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tavro::tools {
namespace {

struct FrameInfoOptions {
    FrameOptions frame;
    bool json = false;
};

// The 16 floats of one matrix as the constant buffer holds them, each printed to read back to the
// same bits.
void PrintMatrix(const char* name, const std::uint8_t* bytes) {
    float values[16];
    std::memcpy(values, bytes, sizeof(values));
    std::printf("\"%s\": [", name);
    for (int i = 0; i < 16; ++i) {
        std::printf("%s%.9g", i == 0 ? "" : ", ", static_cast<double>(values[i]));
    }
    std::printf("]");
}

// Each draw follows the constant-buffer update that set its matrices.
void PrintDraws(const gpu::recording::Recorder& recorder) {
    using namespace gpu::recording;
    std::printf("{\"draws\": [");
    const UpdateSubresourceArgs* lastUpdate = nullptr;
    bool first = true;
    for (const CallRecord& call : recorder.Calls()) {
        if (const auto* update = call.As<UpdateSubresourceArgs>()) {
            lastUpdate = update;
        } else if (const auto* draw = call.As<DrawIndexedArgs>()) {
            std::printf("%s\n  {", first ? "" : ",");
            first = false;
            if (lastUpdate != nullptr && lastUpdate->bytes.size() == 192) {
                PrintMatrix("world", lastUpdate->bytes.data());
                std::printf(", ");
                PrintMatrix("view", lastUpdate->bytes.data() + 64);
                std::printf(", ");
                PrintMatrix("projection", lastUpdate->bytes.data() + 128);
                std::printf(", ");
            }
            std::printf("\"indexCount\": %" PRIu32 ", \"startIndex\": %" PRIu32 ", \"baseVertex\": %" PRId32
                        "}",
                        draw->indexCount, draw->startIndex, draw->baseVertex);
        }
    }
    std::printf("%s]}\n", first ? "" : "\n");
}

int RunFrameInfo(const FrameInfoOptions& options) {
    if (!options.json) {
        return Fail("frame-info prints JSON only: add --json");
    }
    gpu::recording::Recorder recorder;
    gpu::recording::RecordingFactory factory(recorder);
    static int window; // the recording backend never looks at its window
    auto frame = std::make_unique<ScheduledFrame>();
    std::string error;
    if (!frame->Draw(options.frame, factory, &window, error)) {
        return Fail(error);
    }
    frame.reset(); // the objects go before the recorder that tracks them
    PrintDraws(recorder);
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the frame's draws");
}

} // namespace

void AddFrameInfoCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<FrameInfoOptions>();
    CLI::App* command =
        app.add_subcommand("frame-info", "Print the draws of the frame the viewer shows for a schedule row");
    AddFrameOptions(*command, options->frame);
    command->add_flag("--json", options->json, "print one JSON object (required)");
    command->callback([options, &exitCode] { exitCode = RunFrameInfo(*options); });
}

} // namespace tavro::tools
