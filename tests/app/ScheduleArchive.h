#pragma once
// Small generated archives for the shell's tests, benchmarks and the window test: an archive pair whose
// scheduled entries hold a texture pack and a model, and whose other entries are empty.
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

namespace tavro {
class RendererState;
}

namespace tavro::apptest {

struct ScheduleArchiveOptions {
    // 4251 is the count the viewer requires; 652 and 757 make other archives a reader still opens.
    std::uint32_t entryCount = 4251;
    // Model entries written as bytes no reader accepts.
    std::set<std::uint32_t> brokenModelEntries;
    // Grid models of about this many triangles instead of the small square (0 for the square).
    std::uint32_t modelTriangles = 0;
    // Texture packs of textureSize x textureSize pixels.
    std::uint32_t textureSize = 4;
    // Entries kept LZP2-compressed instead of stored.
    bool compressed = false;
    // Only the entries of rows below this one get content; the rest stay empty (for large entries).
    std::uint32_t rowLimit = 332;
};

// Writes binPath and the index beside it. Each scheduled model is a square facing the camera, both
// sides drawn, centred on x and 1 + firstRow / 1000 high, where firstRow is the first schedule row
// naming it; its texture is one bright colour per row. Returns an empty string or one line on failure.
std::string WriteScheduleArchive(const std::filesystem::path& binPath,
                                 const ScheduleArchiveOptions& options = {});

// The first schedule row naming the model the state shows, read back from its height; -1 without one.
int RowShown(const RendererState& state);

} // namespace tavro::apptest
