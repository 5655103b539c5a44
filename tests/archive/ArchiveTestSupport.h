#pragma once
// Helpers shared by the archive tests: generated entry contents, a temporary directory, a file system
// held in memory that can count open files and misreport sizes, and a destination that is not a
// memory file and records its writes.
#include "file/FileSystem.h"
#include "file/MemoryFile.h"
#include "tests/TempDirectory.h"
#include "tests/archive/RecordingFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tavro::testing {

// Deterministic bytes; text-like ones compress well, noisy ones barely.
inline std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint32_t seed, bool textLike) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    static constexpr char kWords[] = "vertex normal texcoord bone matrix submesh ";
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = textLike ? static_cast<std::uint8_t>(kWords[(i + (state >> 28)) % (sizeof(kWords) - 1)])
                            : static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

inline std::vector<std::uint8_t> ToVector(const std::uint8_t* bytes, std::uint32_t size) {
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

// Files served from memory by path. Each open file counts itself while alive, and a file can be made
// to report a size larger than the bytes it holds, so that its reads come up short.
class MemoryFileSystem : public CFileSystem {
public:
    struct Stored {
        std::vector<std::uint8_t> bytes;
        std::uint32_t claimedSize = 0; // 0: the true size
    };

    std::unique_ptr<CAbstractFile> OpenFile(const wchar_t* path, std::int32_t mode) override {
        if (path == nullptr) {
            return nullptr;
        }
        opened.push_back(path);
        auto found = files.find(path);
        if (found == files.end() || mode != kOpenRead) {
            return nullptr;
        }
        return std::make_unique<CountedFile>(found->second, liveFiles);
    }
    bool DeleteFile(const wchar_t*) override { return false; }
    bool CreateDirectory(const wchar_t*) override { return false; }

    std::map<std::wstring, Stored> files;
    std::vector<std::wstring> opened;
    int liveFiles = 0;

private:
    class CountedFile : public CReadOnlyMemoryFile {
    public:
        CountedFile(const Stored& stored, int& live)
            : CReadOnlyMemoryFile(stored.bytes.data(), static_cast<std::uint32_t>(stored.bytes.size()),
                                  false),
              claimedSize(stored.claimedSize), liveFiles(live) {
            ++liveFiles;
        }
        ~CountedFile() override { --liveFiles; }
        std::uint32_t GetSize() override {
            return claimedSize != 0 ? claimedSize : CReadOnlyMemoryFile::GetSize();
        }

    private:
        std::uint32_t claimedSize;
        int& liveFiles;
    };
};

} // namespace tavro::testing
