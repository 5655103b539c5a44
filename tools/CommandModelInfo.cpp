// tavro model-info FILE [--json]: what the viewer would take from a G1M model, its draw arrays'
// sizes and buffer starts, bounds, table sizes and the draw list with each submesh's transform.
#include "file/MemoryFile.h"
#include "model/G1MModel.h"
#include "tools/Commands.h"
#include "tools/EntryKind.h"
#include "tools/InputFile.h"
#include "tools/Report.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <span>
#include <string>

namespace tavro::tools {

namespace {

struct ModelInfoOptions {
    std::string input;
    bool json = false;
};

// %.9g reads back to the same float. JSON has no NaN or infinity, so those print as null.
std::string FormatFloat(float value, bool json) {
    if (json && !std::isfinite(value)) {
        return "null";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

template <typename T>
std::string JoinNumbers(std::span<const T> values, bool json, const char* separator) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i != 0) {
            text += separator;
        }
        if constexpr (std::is_floating_point_v<T>) {
            text += FormatFloat(values[i], json);
        } else {
            text += std::to_string(values[i]);
        }
    }
    return text;
}

std::string JsonArray(std::string items) {
    return "[" + items + "]";
}

std::string DescribeJson(const CG1MModel& model, const std::vector<CG1MDrawItem>& items) {
    std::string out = "{";
    out += "\"vertexCount\": " + std::to_string(model.ViewVertices().size());
    out += ", \"indexCount\": " + std::to_string(model.ViewIndices().size());
    out += ", \"vertexBufferStarts\": " + JsonArray(JoinNumbers(model.GetVertexBufferStarts(), true, ", "));
    out += ", \"indexBufferStarts\": " + JsonArray(JoinNumbers(model.GetIndexBufferStarts(), true, ", "));
    out += ", \"boundsMin\": " +
           JsonArray(JoinNumbers(std::span<const float>(model.GetBoundsMin()), true, ", "));
    out += ", \"boundsMax\": " +
           JsonArray(JoinNumbers(std::span<const float>(model.GetBoundsMax()), true, ", "));
    out += ", \"boneCount\": " + std::to_string(model.GetBones().size());
    out += ", \"matrixCount\": " + std::to_string(model.GetMatrices().size());
    out += ", \"jointMapCount\": " + std::to_string(model.GetJointMaps().size());
    out += ", \"submeshCount\": " + std::to_string(model.GetSubmeshes().size());
    out += ", \"drawItems\": [";
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CG1MDrawItem& item = items[i];
        out += i == 0 ? "" : ", ";
        out += "{\"matrix\": " + JsonArray(JoinNumbers(std::span<const float>(item.matrix.m), true, ", "));
        out += ", \"indexCount\": " + std::to_string(item.indexCount);
        out += ", \"startIndex\": " + std::to_string(item.startIndex);
        out += ", \"baseVertex\": " + std::to_string(item.baseVertex) + "}";
    }
    out += "]}\n";
    return out;
}

std::string DescribeText(const std::string& input, const CG1MModel& model,
                         const std::vector<CG1MDrawItem>& items) {
    const auto vertexStarts = model.GetVertexBufferStarts();
    const auto indexStarts = model.GetIndexBufferStarts();
    std::string out = "model " + input + "\n";
    out += "  vertices:   " + std::to_string(model.ViewVertices().size()) + " in " +
           std::to_string(vertexStarts.empty() ? 0 : vertexStarts.size() - 1) + " buffers, starting at " +
           JoinNumbers(vertexStarts, false, " ") + "\n";
    out += "  indices:    " + std::to_string(model.ViewIndices().size()) + " in " +
           std::to_string(indexStarts.empty() ? 0 : indexStarts.size() - 1) + " buffers, starting at " +
           JoinNumbers(indexStarts, false, " ") + "\n";
    out += "  bounds:     (" + JoinNumbers(std::span<const float>(model.GetBoundsMin()), false, ", ") +
           ") to (" + JoinNumbers(std::span<const float>(model.GetBoundsMax()), false, ", ") + ")\n";
    out += "  bones:      " + std::to_string(model.GetBones().size()) + "\n";
    out += "  matrices:   " + std::to_string(model.GetMatrices().size()) + "\n";
    out += "  joint maps: " + std::to_string(model.GetJointMaps().size()) + "\n";
    out += "  submeshes:  " + std::to_string(model.GetSubmeshes().size()) + ", " +
           std::to_string(items.size()) + " drawable\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CG1MDrawItem& item = items[i];
        out += "  draw " + std::to_string(i) + ": " + std::to_string(item.indexCount) + " indices from " +
               std::to_string(item.startIndex) + ", base vertex " + std::to_string(item.baseVertex) + "\n";
        for (int row = 0; row < 4; ++row) {
            out +=
                "    " + JoinNumbers(std::span<const float>(item.matrix.m + 4 * row, 4), false, "  ") + "\n";
        }
    }
    return out;
}

int RunModelInfo(const ModelInfoOptions& options) {
    InputBytes bytes;
    std::string error;
    if (!ReadInput(options.input, bytes, error)) {
        return Fail(error);
    }
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        return Fail(options.input + ": too large for a G1M model (over 4 GiB)");
    }
    CReadOnlyMemoryFile file(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
    auto model = std::make_unique<CG1MModel>();
    if (!model->Load(file)) {
        const std::string wrongKind = WrongKindMessage(options.input, bytes, EntryKind::G1M);
        return Fail(wrongKind.empty() ? options.input + ": not a valid G1M model" : wrongKind);
    }
    const std::vector<CG1MDrawItem> items = model->BuildDrawItems();
    const std::string text =
        options.json ? DescribeJson(*model, items) : DescribeText(options.input, *model, items);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
        return Fail("cannot write to standard output");
    }
    return 0;
}

} // namespace

void AddModelInfoCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ModelInfoOptions>();
    CLI::App* command =
        app.add_subcommand("model-info", "Show the draw arrays, tables and draw list of a G1M model");
    command->add_option("FILE", options->input, "a G1M file, or ARCHIVE.bin:INDEX for an archive entry")
        ->required();
    command->add_flag("--json", options->json, "print one JSON object instead of text");
    command->callback([options, &exitCode] {
        exitCode = RunReportingMemory(options->input, [&] { return RunModelInfo(*options); });
    });
}

} // namespace tavro::tools
