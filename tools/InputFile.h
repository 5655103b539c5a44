#pragma once
// Reading a subcommand's input, which is either a plain file or one archive entry named
// "ARCHIVE.bin:INDEX" (extracted and decoded as the viewer would).
#include <cstdint>
#include <string>
#include <vector>

namespace tavro::tools {

// Fills bytes with the input's content. On failure returns false and sets error to one line naming the
// file or entry and what is wrong.
bool ReadInput(const std::string& input, std::vector<std::uint8_t>& bytes, std::string& error);

// Writes bytes to path so that no partial file is left behind on failure (written beside the target,
// then renamed). On failure returns false and sets error to one line.
bool WriteOutputFile(const std::string& path, const std::uint8_t* bytes, std::size_t size,
                     std::string& error);

} // namespace tavro::tools
