#pragma once
// A file system for fuzz targets: read-only files served by exact path from byte spans the caller
// keeps alive, so that an archive pair can be opened without touching the disk.
#include "file/FileSystem.h"
#include "file/MemoryFile.h"

#include <map>
#include <span>
#include <string>

namespace tavro::fuzzing {

class SpanFileSystem : public CFileSystem {
public:
    std::unique_ptr<CAbstractFile> OpenFile(const wchar_t* path, std::int32_t mode) override {
        const auto found = path != nullptr && mode == kOpenRead ? files.find(path) : files.end();
        if (found == files.end()) {
            return nullptr;
        }
        return std::make_unique<CReadOnlyMemoryFile>(found->second.data(),
                                                     static_cast<std::uint32_t>(found->second.size()), false);
    }
    bool DeleteFile(const wchar_t*) override { return false; }
    bool CreateDirectory(const wchar_t*) override { return false; }

    std::map<std::wstring, std::span<const std::uint8_t>> files;
};

} // namespace tavro::fuzzing
