#include "fuzz/ArchivePair.h"

#include "file/LittleEndian.h"

#include <algorithm>
#include <string>
#include <unistd.h>

namespace tavro::fuzzing {

ProcessFolder::ProcessFolder()
    : path(std::filesystem::temp_directory_path() / ("tavro-fuzz-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
}

ProcessFolder::~ProcessFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

ArchiveBytes WriteArchiveBytes(const std::function<bool(authoring::CArchiveWriter&)>& addEntries,
                               std::uint32_t indexSize) {
    ArchiveBytes archive;
    const auto collectInto = [](std::vector<std::uint8_t>& bytes) {
        return [&bytes](std::span<const std::uint8_t> piece) {
            bytes.insert(bytes.end(), piece.begin(), piece.end());
            return true;
        };
    };
    authoring::CArchiveWriter writer;
    if (!writer.Create(collectInto(archive.data), collectInto(archive.index)) || !addEntries(writer) ||
        !writer.Finish(indexSize)) {
        return {};
    }
    return archive;
}

std::vector<std::uint8_t> IndexTargetInput(std::uint8_t selector, const ArchiveBytes& archive) {
    std::vector<std::uint8_t> input{selector};
    const auto lastNonZero = std::find_if(archive.index.rbegin(), archive.index.rend(),
                                          [](std::uint8_t byte) { return byte != 0; });
    const std::size_t indexLength = static_cast<std::size_t>(archive.index.rend() - lastNonZero);
    AppendU32(input, static_cast<std::uint32_t>(archive.data.size()));
    AppendU32(input, static_cast<std::uint32_t>(indexLength));
    input.insert(input.end(), archive.index.begin(),
                 archive.index.begin() + static_cast<std::ptrdiff_t>(indexLength));
    input.insert(input.end(), archive.data.begin(), archive.data.end());
    return input;
}

} // namespace tavro::fuzzing
