// tavro render ARCHIVE.bin --row R [--time-ms T] [--size WxH] -o OUT.png: the frame the viewer shows,
// drawn headless through OpenGL and written as a PNG.
#include "gpu/opengl/AllocatorTuning.h"
#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "tools/Commands.h"
#include "tools/InputFile.h"
#include "tools/RenderedFrame.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

// Private to this file, so another user of the writer in the tool cannot clash with it.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <limits>
#include <memory>
#include <vector>

namespace tavro::tools {
namespace {

struct RenderOptions {
    FrameOptions frame;
    std::string output;
};

void AppendBytes(void* context, void* data, int size) {
    auto* png = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    png->insert(png->end(), bytes, bytes + size);
}

bool EncodePng(const gpu::PresentedImage& image, std::vector<std::uint8_t>& png) {
    if (image.width == 0 || image.height == 0 ||
        image.width > static_cast<std::uint32_t>(std::numeric_limits<int>::max() / 4) ||
        image.rgba.size() != std::size_t{image.width} * image.height * 4) {
        return false;
    }
    const int width = static_cast<int>(image.width);
    return stbi_write_png_to_func(AppendBytes, &png, width, static_cast<int>(image.height), 4,
                                  image.rgba.data(), width * 4) != 0;
}

int RunRender(const RenderOptions& options) {
    gpu::opengl::TuneAllocatorForSoftwareRendering();
    gpu::opengl::EglHeadlessContext context; // outlives every graphics object made on it
    gpu::opengl::OpenGLFactory factory;
    gpu::PresentedImage image;
    {
        ScheduledFrame frame;
        std::string error;
        if (!frame.Draw(options.frame, factory, static_cast<gpu::opengl::IGLContext*>(&context), error)) {
            return Fail(error);
        }
        if (Failed(frame.Renderer().swapChain->ReadPresentedImage(&image))) {
            return Fail("the drawn frame cannot be read back");
        }
    }
    std::vector<std::uint8_t> png;
    try {
        if (!EncodePng(image, png)) {
            return Fail("the frame cannot be encoded as PNG");
        }
    } catch (const std::bad_alloc&) {
        return Fail("out of memory while encoding the PNG");
    }
    std::string error;
    if (!WriteOutputFile(options.output, png.data(), png.size(), error)) {
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
