#pragma once
// Output names that say what they hold: a command that writes one format refuses a name whose extension
// says another, so that "-o shot.jpg" never leaves a PNG behind under a JPEG name.
#include <string>

namespace tavro::tools {

// True when path ends in extension (".png"), ignoring case.
bool HasExtension(const std::string& path, const std::string& extension);

// True when path ends in extension or is a character device or FIFO (written directly); otherwise false
// and error names the format written, as in "shot.jpg: this command writes a PNG image: give the output
// a .png name".
bool CheckOutputExtension(const std::string& path, const std::string& extension, const std::string& format,
                          std::string& error);

} // namespace tavro::tools
