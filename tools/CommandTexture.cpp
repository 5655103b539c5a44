// tavro texture INPUT -o OUT.png [--slice N] [--mip N]: one picture of a texture as an 8-bit RGBA PNG.
#include "export/PngWriter.h"
#include "export/TextureImage.h"
#include "tools/Commands.h"
#include "tools/InputFile.h"
#include "tools/OutputFile.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <new>

namespace tavro::tools {
namespace {

struct TextureOptions {
    std::string input;
    std::string output;
    TextureImageChoice choice;
};

int WriteTexturePng(const TextureOptions& options) {
    InputBytes bytes;
    std::string error;
    if (!ReadInput(options.input, bytes, error)) {
        return Fail(error);
    }
    TextureImage image;
    if (!DecodeTextureImage(bytes, options.choice, image, error)) {
        return Fail(options.input + ": " + error);
    }
    if (!PngSizeFits(image.width, image.height)) {
        return Fail(options.input + ": " + DescribePngSizeLimit(image.width, image.height));
    }
    std::vector<std::uint8_t> png;
    if (!EncodePng(image.width, image.height, image.rgba, png)) {
        return Fail(options.input + ": the picture cannot be encoded as PNG (out of memory?)");
    }
    if (!WriteOutputFile(options.output, png.data(), png.size(), error)) {
        return Fail(error);
    }
    return 0;
}

} // namespace

void AddTextureCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<TextureOptions>();
    CLI::App* command = app.add_subcommand(
        "texture", "Write one picture of a texture (a G1T pack's first texture or a DDS image) as a PNG");
    command
        ->add_option("INPUT", options->input,
                     "G1T pack or DDS image, or ARCHIVE.bin:INDEX for an archive entry holding one")
        ->required();
    command->add_option("-o,--output", options->output, "the PNG file to write")->required();
    command->add_option("--slice", options->choice.slice,
                        "element of an array (6 x cube + face for cube maps) or depth slice of a volume");
    command->add_option("--mip", options->choice.mip, "mip level, 0 for the largest (the default)");
    command->callback([options, &exitCode] { exitCode = WriteTexturePng(*options); });
}

} // namespace tavro::tools
