#pragma once
// Byte counts as people read them in the tool's tables.
#include <cstdint>
#include <string>

namespace tavro::tools {

// "0 B", "1023 B", "1.0 KiB", "12.6 MiB", "3.9 GiB": whole bytes below 1 KiB, else one decimal of the
// largest binary unit that keeps the number at 1 or more.
std::string HumanSize(std::uint64_t bytes);

} // namespace tavro::tools
