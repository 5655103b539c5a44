#pragma once
// A destination that is not a memory file, for the archive tests and the extraction fuzz target: an
// extraction into it takes the streaming path, in pieces.
#include "file/AbstractFile.h"

#include <cstdint>
#include <vector>

namespace tavro::testing {

// A destination that is not a memory file: keeps what is written and the size of every write.
class RecordingFile : public CAbstractFile32 {
public:
    std::uint32_t Read(void*, std::uint32_t) override { return 0; }
    std::uint32_t Write(const void* source, std::uint32_t count) override {
        writes.push_back(count);
        const auto* bytes = static_cast<const std::uint8_t*>(source);
        content.insert(content.end(), bytes, bytes + count);
        return count;
    }
    bool Seek(std::int32_t) override { return false; }
    bool Skip(std::int32_t) override { return false; }
    bool SeekFromEnd(std::int32_t) override { return false; }
    std::uint32_t Tell() override { return static_cast<std::uint32_t>(content.size()); }
    std::uint32_t GetSize() override { return static_cast<std::uint32_t>(content.size()); }
    bool SetSize(std::uint32_t) override { return false; }

    std::vector<std::uint8_t> content;
    std::vector<std::uint32_t> writes;
};

} // namespace tavro::testing
