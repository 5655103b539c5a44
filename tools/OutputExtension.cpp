#include "tools/OutputExtension.h"

#include <algorithm>
#include <cctype>

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
    if (HasExtension(path, extension)) {
        return true;
    }
    error = path + ": this command writes " + format + ": give the output a " + extension + " name";
    return false;
}

} // namespace tavro::tools
