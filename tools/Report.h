#pragma once
// How every tavro subcommand reports a failure: one line on stderr, a non-zero exit code.
#include <functional>
#include <string>

namespace tavro::tools {

// Prints "tavro: <message>" on stderr and returns the exit code for a failure (1).
int Fail(const std::string& message);

// Runs a command and returns its exit code; an allocation that fails anywhere in it (a hostile size
// that got past the checks, or a machine short of memory) becomes one line naming the input.
int RunReportingMemory(const std::string& input, const std::function<int()>& command);

} // namespace tavro::tools
