#pragma once
// The folder a command writes its files into. Create makes it with any missing parents and remembers
// which ones it made; a run that fails calls RemoveCreated, so it leaves no empty folders behind.
#include <filesystem>
#include <string>
#include <vector>

namespace tavro::tools {

class OutputFolder {
public:
    // False with a one-line error when path cannot be made a folder (a file is in the way, no right).
    bool Create(const std::string& path, std::string& error);
    // Removes the folders Create made, deepest first, each only if it is still empty.
    void RemoveCreated();

private:
    std::vector<std::filesystem::path> created; // outermost first
};

} // namespace tavro::tools
