#pragma once
// Reading a subcommand's input, which is either a plain file or one archive entry named
// "ARCHIVE.bin:INDEX" (extracted and decoded as the viewer would).
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tavro::tools {

// An input's bytes, held once: an archive entry's block exactly as extraction made it (no copy), or a
// plain file's content.
class InputBytes {
public:
    InputBytes() = default;
    InputBytes(std::unique_ptr<std::uint8_t[]> owned, std::size_t size)
        : block(std::move(owned)), count(size) {}

    const std::uint8_t* data() const { return block.get(); }
    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    const std::uint8_t* begin() const { return block.get(); }
    const std::uint8_t* end() const { return block.get() + count; }
    operator std::span<const std::uint8_t>() const { return {block.get(), count}; }

private:
    std::unique_ptr<std::uint8_t[]> block;
    std::size_t count = 0;
};

// Fills bytes with the input's content. On failure returns false and sets error to one line naming the
// file or entry and what is wrong.
bool ReadInput(const std::string& input, InputBytes& bytes, std::string& error);

// True when input names an archive entry, "ARCHIVE.bin:INDEX" with an existing ARCHIVE.bin, rather than
// a plain file.
bool NamesArchiveEntry(const std::string& input);

} // namespace tavro::tools
