// tavro frame-info ARCHIVE.bin --row R [--time-ms T] [--size WxH] [--json]: the draws of the frame the
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
#include <string>
#include <vector>

namespace tavro::tools {
namespace {

struct FrameInfoOptions {
    FrameOptions frame;
    bool json = false;
};

struct RecordedDraw {
    const gpu::recording::DrawIndexedArgs* draw;
    // The 192 bytes of world, view and projection the draw was made with, or null when it had none.
    const std::uint8_t* matrices;
};

// Each draw follows the constant-buffer update that set its matrices.
std::vector<RecordedDraw> CollectDraws(const gpu::recording::Recorder& recorder) {
    using namespace gpu::recording;
    std::vector<RecordedDraw> draws;
    const UpdateSubresourceArgs* lastUpdate = nullptr;
    for (const CallRecord& call : recorder.Calls()) {
        if (const auto* update = call.As<UpdateSubresourceArgs>()) {
            lastUpdate = update;
        } else if (const auto* draw = call.As<DrawIndexedArgs>()) {
            const bool matrices = lastUpdate != nullptr && lastUpdate->bytes.size() == 192;
            draws.push_back({draw, matrices ? lastUpdate->bytes.data() : nullptr});
        }
    }
    return draws;
}

// The 16 floats of one matrix as the constant buffer holds them, each printed to read back to the
// same bits.
std::string MatrixValues(const std::uint8_t* bytes) {
    float values[16];
    std::memcpy(values, bytes, sizeof(values));
    std::string text;
    for (int i = 0; i < 16; ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%.9g", i == 0 ? "" : ", ", static_cast<double>(values[i]));
        text += number;
    }
    return text;
}

constexpr const char* kMatrixNames[] = {"world", "view", "projection"};

void PrintJson(const std::vector<RecordedDraw>& draws) {
    std::printf("{\"draws\": [");
    for (std::size_t i = 0; i < draws.size(); ++i) {
        std::printf("%s\n  {", i == 0 ? "" : ",");
        if (draws[i].matrices != nullptr) {
            for (int m = 0; m < 3; ++m) {
                std::printf("\"%s\": [%s], ", kMatrixNames[m],
                            MatrixValues(draws[i].matrices + 64 * m).c_str());
            }
        }
        const gpu::recording::DrawIndexedArgs& draw = *draws[i].draw;
        std::printf("\"indexCount\": %" PRIu32 ", \"startIndex\": %" PRIu32 ", \"baseVertex\": %" PRId32 "}",
                    draw.indexCount, draw.startIndex, draw.baseVertex);
    }
    std::printf("%s]}\n", draws.empty() ? "" : "\n");
}

void PrintText(const FrameOptions& frame, const std::vector<RecordedDraw>& draws) {
    std::printf("row %" PRIu32 " at %" PRIu32 " ms, client %s: %zu draw%s (matrices as the constant buffer "
                "holds them, transposed)\n",
                frame.row, frame.timeMs, frame.size.c_str(), draws.size(), draws.size() == 1 ? "" : "s");
    for (std::size_t i = 0; i < draws.size(); ++i) {
        const gpu::recording::DrawIndexedArgs& draw = *draws[i].draw;
        std::printf("draw %zu: %" PRIu32 " indices from %" PRIu32 ", base vertex %" PRId32 "\n", i,
                    draw.indexCount, draw.startIndex, draw.baseVertex);
        for (int m = 0; m < 3 && draws[i].matrices != nullptr; ++m) {
            std::printf("  %-10s %s\n", kMatrixNames[m], MatrixValues(draws[i].matrices + 64 * m).c_str());
        }
    }
}

int RunFrameInfo(const FrameInfoOptions& options) {
    gpu::recording::Recorder recorder;
    gpu::recording::RecordingFactory factory(recorder);
    static int window; // the recording backend never looks at its window
    auto frame = std::make_unique<ScheduledFrame>();
    std::string error;
    if (!frame->Draw(options.frame, factory, &window, error)) {
        return Fail(error);
    }
    frame.reset(); // the objects go before the recorder that tracks them
    const std::vector<RecordedDraw> draws = CollectDraws(recorder);
    if (options.json) {
        PrintJson(draws);
    } else {
        PrintText(options.frame, draws);
    }
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the frame's draws");
}

} // namespace

void AddFrameInfoCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<FrameInfoOptions>();
    CLI::App* command =
        app.add_subcommand("frame-info", "Print the draws of the frame the viewer shows for a schedule row");
    AddFrameOptions(*command, options->frame);
    command->add_flag("--json", options->json, "print one JSON object instead of text");
    command->callback([options, &exitCode] {
        exitCode = RunReportingMemory(options->frame.archive, [&] { return RunFrameInfo(*options); });
    });
}

} // namespace tavro::tools
