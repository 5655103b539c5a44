#include "tools/OutputExtension.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace tavro::tools {

bool HasExtension(const std::string& path, const std::string& extension) {
    return path.size() > extension.size() &&
           std::equal(extension.begin(), extension.end(),
                      path.end() - static_cast<std::ptrdiff_t>(extension.size()), [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

bool CheckOutputExtension(const std::string& path, const std::string& extension, const std::string& format,
                          std::string& error) {
    // A device or pipe (/dev/stdout, a FIFO) has no name to mislead anyone.
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::status(std::filesystem::u8path(path), code);
    if (HasExtension(path, extension) || std::filesystem::is_character_file(status) ||
        std::filesystem::is_fifo(status)) {
        return true;
    }
    error = path + ": this command writes " + format + ": give the output a " + extension + " name";
    return false;
}

} // namespace tavro::tools
