#pragma once
// Putting an export's files in place: one .glb, or a .gltf with its .bin and .png beside it.
#include "export/GltfWriter.h"

#include <string>

namespace tavro::tools {

// The form an output name asks for by its extension (.glb or .gltf, in any case); false for another.
bool GltfFormOfPath(const std::string& path, GltfForm& form);

// The name of an output without folder and extension, from which the .bin and .png beside a .gltf
// are named.
std::string OutputStem(const std::string& path);

// Writes the files of an export to path (and, for the JSON form, the stem's .bin and .png beside it).
// Every file is complete on disk before any is put in place, so a failure leaves none of them. On
// failure returns false and sets error to one line naming the file.
bool WriteExportFiles(const std::string& path, GltfForm form, const GltfFiles& files, std::string& error);

} // namespace tavro::tools
