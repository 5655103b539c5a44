#pragma once
// Exporting a model, with or without its texture, as a glTF 2.0 scene that other tools show as the
// viewer does.
#include "export/GltfWriter.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavro {

// An input's bytes and the name it is reported by, such as "model.g1m" or "LINKDATA1.bin:98".
struct ExportInput {
    std::string name;
    std::span<const std::uint8_t> bytes;
};

// Reads the G1M model and, when texture is not null, the G1T pack or DDS image whose first picture
// becomes the material's texture, and serialises the scene in the given form. In the JSON form the
// buffer and the image are named fileStem + ".bin" and fileStem + ".png". Warnings gets one line per
// kind of part left out or approximated. False with error set to one line that names the input at
// fault and what is wrong.
bool ExportModelScene(const ExportInput& model, const ExportInput* texture, GltfForm form,
                      const std::string& fileStem, GltfFiles& files, std::vector<std::string>& warnings,
                      std::string& error);

} // namespace tavro
