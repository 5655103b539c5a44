// tavro g1t-to-dds IN OUT.dds: writes the DDS image the viewer makes of a G1T pack's first texture.
#include "file/MemoryFile.h"
#include "texture/G1TToDDS.h"
#include "tools/Commands.h"
#include "tools/InputFile.h"
#include "tools/OutputFile.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <limits>
#include <memory>

namespace tavro::tools {
namespace {

int ConvertG1tToDds(const std::string& input, const std::string& output) {
    InputBytes pack;
    std::string error;
    if (!ReadInput(input, pack, error)) {
        return Fail(error);
    }
    if (pack.size() > std::numeric_limits<std::uint32_t>::max()) {
        return Fail(input + ": too large to be a G1T pack");
    }
    CReadOnlyMemoryFile source(pack.data(), static_cast<std::uint32_t>(pack.size()), false);
    CMemoryFile image;
    if (!ConvertG1TToDDS(source, image)) {
        return Fail(input + ": not a G1T pack whose first texture can be converted to DDS");
    }
    if (!WriteOutputFile(output, image.GetBuffer(), image.GetSize(), error)) {
        return Fail(error);
    }
    return 0;
}

} // namespace

void AddG1tToDdsCommand(CLI::App& app, int& exitCode) {
    CLI::App* command =
        app.add_subcommand("g1t-to-dds", "Convert the first texture of a G1T pack to a DDS image");
    auto input = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    command->add_option("IN", *input, "G1T file, or ARCHIVE.bin:INDEX for an archive entry")->required();
    command->add_option("OUT", *output, "DDS file to write")->required();
    command->callback([&exitCode, input, output] { exitCode = ConvertG1tToDds(*input, *output); });
}

} // namespace tavro::tools
