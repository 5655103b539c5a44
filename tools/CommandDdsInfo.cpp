// tavro dds-info FILE.dds [--json] [--max-size N]: what the texture loader makes of a DDS image.
#include "texture/DDSLayout.h"
#include "tools/Commands.h"
#include "tools/EntryKind.h"
#include "tools/InputFile.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <cinttypes>
#include <cstdio>
#include <memory>

namespace tavro::tools {
namespace {

struct DdsInfoOptions {
    std::string input;
    bool json = false;
    std::uint32_t maxSize = 0;
};

const char* DescribeResult(HRESULT result) {
    switch (static_cast<std::uint32_t>(result)) {
    case 0x80004005u:
        return "not a DDS image (too short, bad magic or header sizes), or no level taken";
    case 0x8007000Du:
        return "inconsistent header (array size 0, 1D with a height, 3D without depth, or an empty size)";
    case 0x80070032u:
        return "unsupported format, dimension, cube map, mip count or size";
    case 0x80070026u:
        return "the pixel data end before the last level";
    case 0x8007000Eu:
        return "out of memory";
    default:
        return "cannot be laid out";
    }
}

const char* DimensionName(DDSDimension dimension) {
    switch (dimension) {
    case DDSDimension::Texture1D:
        return "1D";
    case DDSDimension::Texture3D:
        return "3D";
    default:
        return "2D";
    }
}

void PrintJson(const DDSTextureLayout& layout, const std::uint8_t* image) {
    std::printf(
        "{\"result\": \"0x00000000\", \"dimension\": %u, \"format\": %u, \"width\": %u, \"height\": %u, "
        "\"depth\": %u, \"mipLevels\": %u, \"arraySize\": %u, \"cube\": %s, \"skippedLevels\": %u, "
        "\"subresources\": [",
        static_cast<unsigned>(layout.dimension), static_cast<unsigned>(layout.format), layout.width,
        layout.height, layout.depth, layout.MipLevels(), layout.arraySize, layout.cube ? "true" : "false",
        layout.skippedLevels);
    const char* separator = "";
    for (const DDSSubresource& entry : layout.subresources) {
        std::printf("%s{\"offset\": %td, \"rowPitch\": %u, \"slicePitch\": %" PRIu64 "}", separator,
                    entry.data - image, entry.rowPitch, entry.slicePitch);
        separator = ", ";
    }
    std::printf("]}\n");
}

void PrintText(const DDSTextureLayout& layout, const std::uint8_t* image) {
    std::printf("%s texture, format %u, %u x %u x %u\n", DimensionName(layout.dimension),
                static_cast<unsigned>(layout.format), layout.width, layout.height, layout.depth);
    std::printf("mip levels %u (%u skipped), array size %u%s\n", layout.MipLevels(), layout.skippedLevels,
                layout.arraySize, layout.cube ? ", cube" : "");
    for (std::size_t i = 0; i < layout.subresources.size(); ++i) {
        const DDSSubresource& entry = layout.subresources[i];
        std::printf("subresource %zu: offset %td, row pitch %u, slice pitch %" PRIu64 "\n", i,
                    entry.data - image, entry.rowPitch, entry.slicePitch);
    }
}

int ShowDdsInfo(const DdsInfoOptions& options) {
    InputBytes image;
    std::string error;
    if (!ReadInput(options.input, image, error)) {
        return Fail(error);
    }
    // An empty file is a too-short image, not a missing one.
    const std::uint8_t none = 0;
    const std::uint8_t* bytes = image.empty() ? &none : image.data();
    DDSTextureLayout layout;
    const HRESULT result = LayOutDDSTexture(bytes, image.size(), options.maxSize, layout);
    if (Failed(result)) {
        if (options.json) {
            std::printf("{\"result\": \"0x%08X\"}\n", static_cast<unsigned>(result));
        }
        const std::string wrongKind = WrongKindMessage(options.input, image, EntryKind::DDS);
        if (!wrongKind.empty()) {
            return Fail(wrongKind);
        }
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(result));
        return Fail(options.input + ": " + DescribeResult(result) + " (" + code + ")");
    }
    if (options.json) {
        PrintJson(layout, bytes);
    } else {
        PrintText(layout, bytes);
    }
    // printf's failures are sticky in the stream; a full disk or closed pipe shows at the flush.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        return Fail("cannot write to standard output");
    }
    return 0;
}

} // namespace

void AddDdsInfoCommand(CLI::App& app, int& exitCode) {
    CLI::App* command = app.add_subcommand("dds-info", "Show how the texture loader lays out a DDS image");
    auto options = std::make_shared<DdsInfoOptions>();
    command->add_option("FILE", options->input, "DDS file, or ARCHIVE.bin:INDEX for an archive entry")
        ->required();
    command->add_flag("--json", options->json, "Print one JSON object");
    command->add_option("--max-size", options->maxSize,
                        "Start mip chains at the first level no larger than this (0: all levels)");
    command->callback([options, &exitCode] {
        exitCode = RunReportingMemory(options->input, [&] { return ShowDdsInfo(*options); });
    });
}

} // namespace tavro::tools
