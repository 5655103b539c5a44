#pragma once
// How every tavro subcommand reports a failure: one line on stderr, a non-zero exit code.
#include <string>

namespace tavro::tools {

// Prints "tavro: <message>" on stderr and returns the exit code for a failure (1).
int Fail(const std::string& message);

} // namespace tavro::tools
