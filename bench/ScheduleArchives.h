#pragma once
// Generated schedule archives for the shell's benchmarks: one per setting, written on first use and
// removed at exit. Only the first kRows rows have content; a cycler starts again from row 0 after them.
#include "tests/app/ScheduleArchive.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>

namespace tavro::benchdata {

constexpr std::uint32_t kRows = 4;

class ScheduleArchives {
public:
    ~ScheduleArchives() {
        for (const auto& entry : folders_) {
            std::filesystem::remove_all(entry.second.parent_path());
        }
    }
    // The archive's data file, or null when it cannot be written.
    const std::filesystem::path* Get(std::uint32_t triangles, std::uint32_t textureSize, bool compressed) {
        const auto key = std::make_tuple(triangles, textureSize, compressed);
        if (auto found = folders_.find(key); found != folders_.end()) {
            return &found->second;
        }
        const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                             ("tavro-bench-shell-" + std::to_string(triangles) + "-" +
                                              std::to_string(textureSize) + (compressed ? "-c" : "-s"));
        std::filesystem::create_directories(folder);
        apptest::ScheduleArchiveOptions options;
        options.modelTriangles = triangles;
        options.textureSize = textureSize;
        options.compressed = compressed;
        options.rowLimit = kRows;
        if (!apptest::WriteScheduleArchive(folder / "LINKDATA1.bin", options).empty()) {
            return nullptr;
        }
        return &folders_.emplace(key, folder / "LINKDATA1.bin").first->second;
    }

private:
    std::map<std::tuple<std::uint32_t, std::uint32_t, bool>, std::filesystem::path> folders_;
};

inline ScheduleArchives& Archives() {
    static ScheduleArchives archives;
    return archives;
}

} // namespace tavro::benchdata
