// tavro render ARCHIVE.bin --row R [--time-ms T] [--size WxH] [view options] -o OUT.png: the frame the
// viewer shows, drawn headless and written as a PNG. With --rows A-B instead of --row, every row of the
// range is drawn in one process and -o names the folder of their PNGs (row-NNN.png). With neither, the
// input is a model (a G1M file or ARCHIVE.bin:INDEX), drawn with --texture TEX or else in plain white.
#include "export/PngWriter.h"
#include "tools/Commands.h"
#include "tools/FrameCapture.h"
#include "tools/HeadlessDevice.h"
#include "tools/ModelInput.h"
#include "tools/OutputExtension.h"
#include "tools/OutputFile.h"
#include "tools/RenderedFrame.h"
#include "tools/Report.h"
#include "tools/RowRangeArgument.h"
#include "tools/RowRangeRender.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <vector>

namespace tavro::tools {
namespace {

enum class RenderInput { ScheduleRow, RowRange, Model };

struct RenderOptions {
    FrameOptions frame;
    std::string rows;
    std::string texture;
    std::string output;
};

// Draws the one frame the input asks for; false with a one-line error.
bool DrawFrame(const RenderOptions& options, RenderInput input, HeadlessDevice& device, ScheduledFrame& frame,
               std::string& error) {
    if (input == RenderInput::ScheduleRow) {
        return frame.Draw(options.frame, device.Factory(), device.Window(), error);
    }
    PreparedModel prepared;
    return PrepareModelInput(options.frame.archive, options.texture, prepared, error) &&
           frame.DrawModel(options.frame, std::move(prepared), device.Factory(), device.Window(), error);
}

int RunRender(const RenderOptions& options, RenderInput input) {
    if (input == RenderInput::RowRange) {
        std::uint32_t first = 0, last = 0;
        if (!ParseRowRange(options.rows, first, last)) {
            return Fail(DescribeBadRowRange(options.rows));
        }
        return RenderRowRange(options.frame, first, last, options.output);
    }
    std::string error;
    if (!CheckOutputExtension(options.output, ".png", "a PNG image", error)) {
        return Fail(error);
    }
    ClientSize size;
    if (ParseClientSize(options.frame.size, size) && !PngSizeFits(size.width, size.height)) {
        return Fail(DescribePngSizeLimit(size.width, size.height));
    }
    // The output is opened first, so an unwritable target is reported before the frame is drawn.
    OutputFile output;
    if (!output.Open(options.output, error)) {
        return Fail(error);
    }
    HeadlessDevice device; // outlives every graphics object made on it
    gpu::PresentedImage image;
    {
        ScheduledFrame frame;
        if (!DrawFrame(options, input, device, frame, error)) {
            return Fail(error);
        }
        if (!CaptureFrame(frame.Renderer(), image)) {
            return Fail("the drawn frame cannot be read back");
        }
    }
    std::vector<std::uint8_t> png;
    if (!EncodePng(image.width, image.height, image.rgba, png)) {
        return Fail("the frame cannot be encoded as PNG (out of memory?)");
    }
    if (!output.Write(png, error) || !output.Commit(error)) {
        return Fail(error);
    }
    return 0;
}

} // namespace

void AddRenderCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<RenderOptions>();
    CLI::App* command = app.add_subcommand(
        "render", "Draw the frame the viewer shows for a schedule row, or any model, into a PNG, headless");
    CLI::Option* row = AddFrameOptions(*command, options->frame, true);
    command->get_option("archive")->description("the archive's data file NAME.bin; without --row or --rows, "
                                                "a G1M model (a file or ARCHIVE.bin:INDEX)");
    CLI::Option* rows = command->add_option("--rows", options->rows,
                                            "schedule rows, all, A-B or A, drawn into the folder -o");
    row->excludes(rows);
    CLI::Option* texture =
        command->add_option("--texture", options->texture,
                            "for a model: a G1T pack or DDS image (or ARCHIVE.bin:INDEX) as its texture "
                            "(default: plain white)");
    texture->excludes(row)->excludes(rows);
    command->add_option("-o,--output", options->output, "the PNG file to write (with --rows: the folder)")
        ->required();
    command->callback([options, &exitCode, row, rows] {
        const RenderInput input = row->count() != 0    ? RenderInput::ScheduleRow
                                  : rows->count() != 0 ? RenderInput::RowRange
                                                       : RenderInput::Model;
        exitCode = RunReportingMemory(options->frame.archive, [&] { return RunRender(*options, input); });
    });
}

} // namespace tavro::tools
