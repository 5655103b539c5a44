#pragma once
// F12: the presented frame saved as a PNG beside the archive, under a name no file has yet.
#include <cstdint>
#include <filesystem>
#include <string>

namespace tavro {

class RendererState;

// Writes the frame the renderer presented last as row-NNN.png in folder (row-NNN-2.png and so on when
// that name is taken; an existing file is never replaced). Returns the path written, or an empty path
// with one line in error when there is no frame, it cannot be encoded, or no file can be written (a
// partly written file is removed).
std::filesystem::path SaveScreenshot(RendererState& state, const std::filesystem::path& folder,
                                     std::uint32_t row, std::string& error);

} // namespace tavro
