// The model export: a fuzzed G1M model, with or without a fuzzed G1T pack or DDS image as its texture,
// through the glTF scene writer and the PNG encoder, in memory. Input: a flags byte (bit 0: the JSON
// form, else the binary one; bit 1: with a texture), the model's length (little-endian 32 bits, cut
// to what follows), the model's bytes, then the texture's. A refusal is one line; an export is a glTF
// document whose JSON parses, whose buffer views lie inside its buffer, and whose files are those of
// its form.
#include "export/ModelExport.h"
#include "file/LittleEndian.h"
#include "fuzz/FuzzTarget.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Json = nlohmann::json;
using tavro::LoadU32;

// Aborts, naming the check's line, when a check fails.
void Require(bool condition, int line = __builtin_LINE()) {
    if (!condition) {
        std::fprintf(stderr, "gltf_export: check at line %d failed\n", line);
        std::abort();
    }
}

bool IsOneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == std::string::npos;
}

// The JSON chunk of a binary file, and the length of its binary chunk, after checking the header and
// the chunk lengths against the file's length.
Json ReadGlb(const std::vector<std::uint8_t>& glb, std::uint64_t& binLength) {
    constexpr std::uint32_t kMagic = 0x46546C67, kJsonChunk = 0x4E4F534A, kBinChunk = 0x004E4942;
    Require(glb.size() >= 20 && LoadU32(&glb[0]) == kMagic && LoadU32(&glb[4]) == 2 &&
            LoadU32(&glb[8]) == glb.size());
    const std::uint32_t jsonLength = LoadU32(&glb[12]);
    Require(LoadU32(&glb[16]) == kJsonChunk && jsonLength % 4 == 0 && jsonLength <= glb.size() - 20);
    const std::size_t binAt = 20 + std::size_t{jsonLength};
    binLength = 0;
    if (binAt != glb.size()) {
        Require(glb.size() - binAt >= 8 && LoadU32(&glb[binAt + 4]) == kBinChunk);
        binLength = LoadU32(&glb[binAt]);
        Require(binLength == glb.size() - binAt - 8);
    }
    return Json::parse(glb.begin() + 20, glb.begin() + static_cast<std::ptrdiff_t>(binAt));
}

void CheckDocument(const Json& document, std::uint64_t bufferLength) {
    Require(document.at("asset").at("version") == "2.0");
    const Json& buffers = document.value("buffers", Json::array());
    Require(buffers.size() <= 1);
    const std::uint64_t declared = buffers.empty() ? 0 : buffers[0].at("byteLength").get<std::uint64_t>();
    Require(declared <= bufferLength);
    for (const Json& view : document.value("bufferViews", Json::array())) {
        Require(view.value("byteOffset", std::uint64_t{0}) + view.at("byteLength").get<std::uint64_t>() <=
                declared);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    const bool json = (data[0] & 1) != 0;
    const bool textured = (data[0] & 2) != 0;
    const std::size_t modelLength = std::min<std::size_t>(LoadU32(data + 1), size - 5);
    const tavro::ExportInput model{"model.g1m", {data + 5, modelLength}};
    const tavro::ExportInput texture{"texture.g1t", {data + 5 + modelLength, size - 5 - modelLength}};

    tavro::GltfFiles files;
    std::vector<std::string> warnings;
    std::string error;
    if (!tavro::ExportModelScene(model, textured ? &texture : nullptr,
                                 json ? tavro::GltfForm::Json : tavro::GltfForm::Binary, "scene", files,
                                 warnings, error)) {
        Require(IsOneLine(error));
        return 0;
    }
    Require(std::all_of(warnings.begin(), warnings.end(), IsOneLine));
    if (json) {
        const Json document = Json::parse(files.scene);
        CheckDocument(document, files.buffer.size());
        // A model without triangles has no material, so even a textured export may have no image.
        Require(files.image.empty() != (textured && document.contains("images")));
    } else {
        Require(files.buffer.empty() && files.image.empty());
        std::uint64_t binLength = 0;
        const Json document = ReadGlb(files.scene, binLength);
        CheckDocument(document, binLength);
    }
    return 0;
}
