#pragma once
// Telling a mistyped command apart from a real one, and naming the command that was probably meant.
#include <string>
#include <vector>

namespace tavro::tools {

bool IsCommandName(const std::string& text, const std::vector<std::string>& names);

// "unknown command 'lst' (did you mean 'list'? see tavro --help)": the closest name by edit distance.
std::string UnknownCommandMessage(const std::string& text, const std::vector<std::string>& names);

} // namespace tavro::tools
