#include "export/ModelExport.h"

#include "export/PngWriter.h"
#include "export/TextureImage.h"
#include "file/MemoryFile.h"
#include "model/G1MModel.h"

#include <limits>
#include <new>

namespace tavro {
namespace {

// A file name as a relative URI reference: bytes outside the unreserved characters are percent-encoded.
std::string FileNameUri(const std::string& name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~') {
            uri += c;
        } else {
            uri += {'%', kHex[byte >> 4], kHex[byte & 15]};
        }
    }
    return uri;
}

bool LoadModel(const ExportInput& input, CG1MModel& model, std::string& error) {
    if (input.bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        error = input.name + ": too large to be a G1M model";
        return false;
    }
    CReadOnlyMemoryFile file(input.bytes.data(), static_cast<std::uint32_t>(input.bytes.size()), false);
    if (!model.Load(file)) {
        error = input.name + ": not a G1M model that can be read (bad header, chunk or geometry)";
        return false;
    }
    return true;
}

bool EncodeTexturePng(const ExportInput& input, std::vector<std::uint8_t>& png, std::string& error) {
    TextureImage image;
    if (!DecodeTextureImage(input.bytes, TextureImageChoice{}, image, error)) {
        error = input.name + ": " + error;
        return false;
    }
    if (!PngSizeFits(image.width, image.height)) {
        error = input.name + ": " + DescribePngSizeLimit(image.width, image.height);
        return false;
    }
    if (!EncodePng(image.width, image.height, image.rgba, png)) {
        error = input.name + ": the texture cannot be encoded as PNG (out of memory?)";
        return false;
    }
    return true;
}

} // namespace

bool ExportModelScene(const ExportInput& model, const ExportInput* texture, GltfForm form,
                      const std::string& fileStem, GltfFiles& files, std::vector<std::string>& warnings,
                      std::string& error) {
    try {
        CG1MModel loaded;
        if (!LoadModel(model, loaded, error)) {
            return false;
        }
        std::vector<std::uint8_t> png;
        if (texture != nullptr && !EncodeTexturePng(*texture, png, error)) {
            return false;
        }
        std::vector<ScenePrimitive> primitives;
        if (!BuildScenePrimitives(loaded, primitives, warnings, error)) {
            error = model.name + ": " + error;
            return false;
        }
        if (primitives.empty()) {
            warnings.push_back("the model has no triangle to draw; only its skeleton is written");
        }
        const std::vector<SceneBone> bones = BuildSceneBones(loaded.GetBones(), warnings);
        const GltfSceneContent content{primitives, bones, png};
        const std::string stem = FileNameUri(fileStem);
        return WriteGltfScene(content, form, stem + ".bin", stem + ".png", files, error);
    } catch (const std::bad_alloc&) {
        error = model.name + ": not enough memory to export it";
        return false;
    }
}

} // namespace tavro
