#include "tools/OutputFolder.h"

#include <system_error>

namespace tavro::tools {

bool OutputFolder::Create(const std::string& path, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code code;
    fs::path folder = fs::path(path).lexically_normal();
    if (folder.filename().empty() && folder.has_relative_path()) {
        folder = folder.parent_path(); // "out/" names the folder "out"
    }
    // The missing folders, outermost first: every ancestor up to the first one that exists.
    std::vector<fs::path> missing;
    for (fs::path at = folder; !at.empty() && !fs::exists(fs::symlink_status(at, code));
         at = at.parent_path()) {
        missing.insert(missing.begin(), at);
        if (at == at.parent_path()) {
            break;
        }
    }
    for (const fs::path& at : missing) {
        if (fs::create_directory(at, code)) {
            created.push_back(at);
        } else if (code) {
            error = path + ": cannot create the folder " + at.string() + " (" + code.message() + ")";
            RemoveCreated();
            return false;
        }
    }
    if (!fs::is_directory(folder, code)) {
        error = path + ": " + (fs::exists(folder, code) ? "is not a folder" : "cannot be made a folder");
        RemoveCreated();
        return false;
    }
    return true;
}

void OutputFolder::RemoveCreated() {
    for (auto at = created.rbegin(); at != created.rend(); ++at) {
        std::error_code ignored;
        std::filesystem::remove(*at, ignored); // only an empty folder is removed
    }
    created.clear();
}

} // namespace tavro::tools
