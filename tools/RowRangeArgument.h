#pragma once
// The --rows argument of the commands that work on many schedule rows: export, render and contact-sheet.
#include <cstdint>
#include <string>

namespace tavro::tools {

// Parses "all", "A" or "A-B" with A <= B, both schedule rows.
bool ParseRowRange(const std::string& text, std::uint32_t& first, std::uint32_t& last);

// The one line for a --rows that ParseRowRange refuses, quoting it.
std::string DescribeBadRowRange(const std::string& text);

} // namespace tavro::tools
