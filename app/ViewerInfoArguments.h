#pragma once
// The two arguments every program answers without starting: --help and --version. The viewer's window
// is never opened for them.
#include <optional>
#include <string>
#include <vector>

namespace tavro {

// The text to print before exiting with code 0 when the only argument (after the program's name) is
// --help or --version; nothing for any other command line, which the viewer parses as usual.
// programName is the name the text uses.
std::optional<std::string> ViewerInfoText(const std::string& programName,
                                          const std::vector<std::string>& arguments);

} // namespace tavro
