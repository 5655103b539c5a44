#include "tools/ExportFiles.h"

#include "tools/OutputFile.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace tavro::tools {

bool GltfFormOfPath(const std::string& path, GltfForm& form) {
    std::string extension = std::filesystem::u8path(path).extension().string();
    for (char& c : extension) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (extension == ".glb") {
        form = GltfForm::Binary;
    } else if (extension == ".gltf") {
        form = GltfForm::Json;
    } else {
        return false;
    }
    return true;
}

std::string OutputStem(const std::string& path) {
    return std::filesystem::u8path(path).stem().string();
}

bool WriteExportFiles(const std::string& path, GltfForm form, const GltfFiles& files, std::string& error) {
    struct Part {
        std::string path;
        const std::vector<std::uint8_t>& bytes;
    };
    std::vector<Part> parts = {{path, files.scene}};
    if (form == GltfForm::Json) {
        const std::filesystem::path scene = std::filesystem::u8path(path);
        auto beside = [&scene](const char* extension) {
            std::filesystem::path file = scene;
            return file.replace_extension(extension).string();
        };
        if (!files.buffer.empty()) {
            parts.push_back({beside(".bin"), files.buffer});
        }
        if (!files.image.empty()) {
            parts.push_back({beside(".png"), files.image});
        }
    }
    std::vector<std::unique_ptr<OutputFile>> outputs;
    for (const Part& part : parts) {
        outputs.push_back(std::make_unique<OutputFile>());
        if (!outputs.back()->Open(part.path, error) || !outputs.back()->Write(part.bytes, error) ||
            !outputs.back()->Finish(error)) {
            return false;
        }
    }
    for (const auto& output : outputs) {
        if (!output->Commit(error)) {
            return false;
        }
    }
    return true;
}

} // namespace tavro::tools
