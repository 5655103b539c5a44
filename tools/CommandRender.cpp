// tavro render ARCHIVE.bin --row R [--time-ms T] [--size WxH] -o OUT.png: the frame the viewer shows,
// drawn headless through OpenGL and written as a PNG.
#include "export/PngWriter.h"
#include "gpu/opengl/AllocatorTuning.h"
#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "tools/Commands.h"
#include "tools/OutputExtension.h"
#include "tools/OutputFile.h"
#include "tools/RenderedFrame.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <vector>

namespace tavro::tools {
namespace {

struct RenderOptions {
    FrameOptions frame;
    std::string output;
};

int RunRender(const RenderOptions& options) {
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
    gpu::opengl::TuneAllocatorForSoftwareRendering();
    gpu::opengl::EglHeadlessContext context; // outlives every graphics object made on it
    gpu::opengl::OpenGLFactory factory;
    gpu::PresentedImage image;
    {
        ScheduledFrame frame;
        if (!frame.Draw(options.frame, factory, static_cast<gpu::opengl::IGLContext*>(&context), error)) {
            return Fail(error);
        }
        if (Failed(frame.Renderer().swapChain->ReadPresentedImage(&image))) {
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
        "render", "Draw the frame the viewer shows for a schedule row into a PNG, headless");
    AddFrameOptions(*command, options->frame);
    command->add_option("-o,--output", options->output, "the PNG file to write")->required();
    command->callback([options, &exitCode] { exitCode = RunRender(*options); });
}

} // namespace tavro::tools
