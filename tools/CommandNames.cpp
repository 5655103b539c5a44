#include "tools/CommandNames.h"

#include <algorithm>
#include <numeric>

namespace tavro::tools {

namespace {

// The number of single-character insertions, deletions and substitutions that turn a into b.
std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

bool IsCommandName(const std::string& text, const std::vector<std::string>& names) {
    return std::find(names.begin(), names.end(), text) != names.end();
}

std::string UnknownCommandMessage(const std::string& text, const std::vector<std::string>& names) {
    std::string message = "unknown command '" + text + "' (";
    const auto closest =
        std::min_element(names.begin(), names.end(), [&text](const std::string& a, const std::string& b) {
            return EditDistance(text, a) < EditDistance(text, b);
        });
    if (closest != names.end()) {
        message += "did you mean '" + *closest + "'? ";
    }
    return message + "see tavro --help)";
}

} // namespace tavro::tools
