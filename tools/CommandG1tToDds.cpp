// tavro g1t-to-dds IN -o OUT.dds [--index K] (or IN OUT.dds): the DDS image the viewer makes of a G1T
// pack's first texture, or of its texture K.
#include "file/MemoryFile.h"
#include "texture/G1TToDDS.h"
#include "tools/Commands.h"
#include "tools/EntryKind.h"
#include "tools/InputFile.h"
#include "tools/OutputExtension.h"
#include "tools/OutputFile.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <limits>
#include <memory>

namespace tavro::tools {
namespace {

struct G1tToDdsOptions {
    std::string input;
    std::string positionalOutput; // the older form, "g1t-to-dds IN OUT.dds", still accepted
    std::string output;
    std::uint32_t index = 0;
};

int ConvertG1tToDds(const std::string& input, std::uint32_t index, const std::string& output) {
    InputBytes pack;
    std::string error;
    if (!CheckOutputExtension(output, ".dds", "a DDS image", error)) {
        return Fail(error);
    }
    if (!ReadInput(input, pack, error)) {
        return Fail(error);
    }
    if (pack.size() > std::numeric_limits<std::uint32_t>::max()) {
        return Fail(input + ": too large to be a G1T pack");
    }
    CReadOnlyMemoryFile source(pack.data(), static_cast<std::uint32_t>(pack.size()), false);
    CMemoryFile image;
    if (!ConvertG1TTextureToDDS(source, index, image)) {
        const std::string wrongKind = WrongKindMessage(input, pack, EntryKind::G1T);
        const std::uint32_t count = CountG1TTextures(source);
        if (!wrongKind.empty() || (count != 0 && index >= count)) {
            return Fail(wrongKind.empty() ? input + ": --index " + std::to_string(index) +
                                                " is past the pack's " + std::to_string(count) + " textures"
                                          : wrongKind);
        }
        return Fail(input + ": not a G1T pack whose texture " + std::to_string(index) +
                    " can be converted to DDS");
    }
    if (!WriteOutputFile(output, image.GetBuffer(), image.GetSize(), error)) {
        return Fail(error);
    }
    return 0;
}

} // namespace

void AddG1tToDdsCommand(CLI::App& app, int& exitCode) {
    CLI::App* command = app.add_subcommand(
        "g1t-to-dds", "Convert a texture of a G1T pack (the first unless --index) to a DDS image");
    auto options = std::make_shared<G1tToDdsOptions>();
    command->add_option("IN", options->input, "G1T file, or ARCHIVE.bin:INDEX for an archive entry")
        ->required();
    CLI::Option* positional =
        command->add_option("OUT", options->positionalOutput, "DDS file to write (or -o)");
    CLI::Option* named = command->add_option("-o,--output", options->output, "DDS file to write");
    positional->excludes(named);
    command->add_option("--index", options->index, "the texture of the pack to convert, 0 for the first");
    command->callback([&exitCode, options] {
        if (options->output.empty() && options->positionalOutput.empty()) {
            exitCode =
                Fail("g1t-to-dds needs the DDS file to write: -o OUT.dds (see tavro g1t-to-dds --help)");
            return;
        }
        exitCode = ConvertG1tToDds(options->input, options->index,
                                   options->output.empty() ? options->positionalOutput : options->output);
    });
}

} // namespace tavro::tools
