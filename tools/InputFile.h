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

} // namespace tavro::tools
