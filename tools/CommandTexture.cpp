// tavro texture INPUT -o OUT.png [--index K] [--slice N] [--mip N]: one picture of a texture as an 8-bit
// RGBA PNG. With -o DIR/ every texture of a G1T pack is written, as DIR/<entry>_<k>.png; --index K takes
// texture K alone. All the pictures are finished before any is put in place.
#include "export/PngWriter.h"
#include "export/TextureImage.h"
#include "file/MemoryFile.h"
#include "texture/G1TToDDS.h"
#include "tools/Commands.h"
#include "tools/EntryKind.h"
#include "tools/InputFile.h"
#include "tools/OutputExtension.h"
#include "tools/OutputFile.h"
#include "tools/OutputFolder.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <limits>
#include <memory>
#include <optional>

namespace tavro::tools {
namespace {

namespace fs = std::filesystem;

struct TextureOptions {
    std::string input;
    std::string output;
    std::optional<std::uint32_t> index;
    TextureImageChoice choice;
};

// The PNG of one picture: of bytes as they are (a DDS image), or of texture k of a G1T pack.
bool EncodePicture(std::span<const std::uint8_t> bytes, const std::optional<std::uint32_t>& packTexture,
                   const TextureImageChoice& choice, std::vector<std::uint8_t>& png, std::string& error) {
    CMemoryFile dds;
    if (packTexture) {
        CReadOnlyMemoryFile pack(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
        if (!ConvertG1TTextureToDDS(pack, *packTexture, dds)) {
            error = "texture " + std::to_string(*packTexture) + " of the pack cannot be converted";
            return false;
        }
        bytes = std::span<const std::uint8_t>(dds.GetBuffer(), dds.GetSize());
    }
    TextureImage image;
    if (!DecodeTextureImage(bytes, choice, image, error)) {
        return false;
    }
    if (!PngSizeFits(image.width, image.height)) {
        error = DescribePngSizeLimit(image.width, image.height);
        return false;
    }
    if (!EncodePng(image.width, image.height, image.rgba, png)) {
        error = "the picture cannot be encoded as PNG (out of memory?)";
        return false;
    }
    return true;
}

// What names the pictures of a pack: the entry number of ARCHIVE.bin:INDEX, else the file's stem.
std::string PictureStem(const std::string& input) {
    return NamesArchiveEntry(input) ? input.substr(input.rfind(':') + 1) : fs::u8path(input).stem().string();
}

int WriteTexturePng(const TextureOptions& options) {
    InputBytes bytes;
    std::string error;
    // A folder target takes every picture of a pack; only a single picture's name must end in .png.
    std::error_code code;
    const bool toFolder = options.output.ends_with('/') || fs::is_directory(fs::u8path(options.output), code);
    if ((!toFolder && !CheckOutputExtension(options.output, ".png", "a PNG image", error)) ||
        !ReadInput(options.input, bytes, error)) {
        return Fail(error);
    }
    const bool pack = KindOfBytes(bytes) == EntryKind::G1T;
    std::uint32_t count = 1;
    if (pack) {
        if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
            return Fail(options.input + ": too large to be a G1T pack");
        }
        CReadOnlyMemoryFile file(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
        count = CountG1TTextures(file);
        if (count == 0) {
            return Fail(options.input + ": not a G1T pack whose textures can be read");
        }
        if (options.index && *options.index >= count) {
            return Fail(options.input + ": --index " + std::to_string(*options.index) +
                        " is past the pack's " + std::to_string(count) + " textures");
        }
    } else if (options.index) {
        return Fail(options.input + ": --index picks a texture of a G1T pack, and this input is " +
                    KindDescription(KindOfBytes(bytes)));
    }
    if (!toFolder) {
        std::vector<std::uint8_t> png;
        const std::optional<std::uint32_t> texture =
            pack ? std::optional(options.index.value_or(0)) : std::nullopt;
        if (!EncodePicture(bytes, texture, options.choice, png, error)) {
            return Fail(options.input + ": " + error);
        }
        return WriteOutputFile(options.output, png.data(), png.size(), error) ? 0 : Fail(error);
    }
    if (!pack) {
        return Fail(options.input +
                    ": -o FOLDER/ writes every texture of a G1T pack; give this picture a file name");
    }
    OutputFolder folder;
    if (!folder.Create(options.output, error)) {
        return Fail(error);
    }
    std::vector<std::unique_ptr<OutputFile>> files;
    const std::uint32_t first = options.index.value_or(0);
    const std::uint32_t end = options.index ? first + 1 : count;
    for (std::uint32_t k = first; k < end; ++k) {
        std::vector<std::uint8_t> png;
        files.push_back(std::make_unique<OutputFile>());
        const fs::path path =
            fs::u8path(options.output) / (PictureStem(options.input) + "_" + std::to_string(k) + ".png");
        if (!EncodePicture(bytes, k, options.choice, png, error) ||
            !files.back()->Open(path.string(), error) || !files.back()->Write(png, error) ||
            !files.back()->Finish(error)) {
            files.clear();
            folder.RemoveCreated();
            return Fail(error.find(options.input) == 0 ? error : options.input + ": " + error);
        }
    }
    for (const std::unique_ptr<OutputFile>& file : files) {
        if (!file->Commit(error)) {
            return Fail(error);
        }
    }
    return 0;
}

} // namespace

void AddTextureCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<TextureOptions>();
    CLI::App* command = app.add_subcommand(
        "texture", "Write pictures of a texture (the textures of a G1T pack or a DDS image) as PNG files");
    command
        ->add_option("INPUT", options->input,
                     "G1T pack or DDS image, or ARCHIVE.bin:INDEX for an archive entry holding one")
        ->required();
    command
        ->add_option(
            "-o,--output", options->output,
            "the PNG file to write, or a folder (DIR/) for every texture of a pack as <entry>_<k>.png")
        ->required();
    command->add_option("--index", options->index, "the texture of a G1T pack to take, 0 for the first");
    command->add_option("--slice", options->choice.slice,
                        "element of an array (6 x cube + face for cube maps) or depth slice of a volume");
    command->add_option("--mip", options->choice.mip, "mip level, 0 for the largest (the default)");
    command->callback([options, &exitCode] {
        exitCode = RunReportingMemory(options->input, [&] { return WriteTexturePng(*options); });
    });
}

} // namespace tavro::tools
