#pragma once
// Archive pairs for the archive fuzz targets and their seeds, written by the archive writer, and the
// folder of this process's own where the whole-row target puts its pair.
#include "authoring/ArchiveWriter.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace tavro::fuzzing {

// A fresh folder named after the process under the temporary directory, removed when destroyed.
class ProcessFolder {
public:
    ProcessFolder();
    ~ProcessFolder();
    ProcessFolder(const ProcessFolder&) = delete;
    ProcessFolder& operator=(const ProcessFolder&) = delete;

    std::filesystem::path path;
};

struct ArchiveBytes {
    std::vector<std::uint8_t> index;
    std::vector<std::uint8_t> data;
};

// The two files of the archive addEntries builds, its index padded to indexSize (0: the writer's
// choice); both empty when writing fails.
ArchiveBytes WriteArchiveBytes(const std::function<bool(authoring::CArchiveWriter&)>& addEntries,
                               std::uint32_t indexSize = 0);

// The input of the archive index target: the selector byte, the data file's size and the index's
// length (little-endian 32 bits), the index bytes without its trailing zeros, and the data bytes.
std::vector<std::uint8_t> IndexTargetInput(std::uint8_t selector, const ArchiveBytes& archive);

} // namespace tavro::fuzzing
