#pragma once
// The viewer's command line: tavro-viewer [ARCHIVE.bin] [--row R] [--paused].
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavro {

struct ViewerArguments {
    std::optional<std::wstring> archivePath; // the data file of the pair named
    std::optional<std::uint32_t> row;        // 0 to 331
    bool paused = false;
    std::optional<std::string> frameLog; // --frame-log FILE (UTF-8): the CSV of frame times

    bool Any() const { return archivePath.has_value() || row.has_value() || paused || frameLog.has_value(); }
};

// The usage line shown with every refusal.
extern const char* const kViewerUsage;

// Parses the arguments after the program's name (UTF-8). On a wrong one: nullopt and one line in error
// saying what is wrong.
std::optional<ViewerArguments> ParseViewerArguments(const std::vector<std::string>& arguments,
                                                    std::string& error);

} // namespace tavro
