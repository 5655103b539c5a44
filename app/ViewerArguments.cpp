#include "app/ViewerArguments.h"

#include "app/ArchivePath.h"
#include "app/ModelSchedule.h"

#include <charconv>

namespace tavro {

const char* const kViewerUsage = "usage: tavro-viewer [ARCHIVE.bin] [--row R] [--paused] [--frame-log FILE]";

std::optional<ViewerArguments> ParseViewerArguments(const std::vector<std::string>& arguments,
                                                    std::string& error) {
    ViewerArguments parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--paused") {
            parsed.paused = true;
        } else if (argument == "--row") {
            if (i + 1 == arguments.size()) {
                error = "--row needs a row number from 0 to 331";
                return std::nullopt;
            }
            const std::string& text = arguments[++i];
            std::uint32_t row = 0;
            const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), row);
            if (failure != std::errc{} || end != text.data() + text.size() || row >= kModelScheduleRowCount) {
                error = "--row takes a row number from 0 to 331, not '" + text + "'";
                return std::nullopt;
            }
            parsed.row = row;
        } else if (argument == "--frame-log") {
            if (i + 1 == arguments.size()) {
                error = "--frame-log needs the file to append frame times to";
                return std::nullopt;
            }
            parsed.frameLog = arguments[++i];
        } else if (argument.starts_with("-")) {
            error = "unknown option '" + argument + "'";
            return std::nullopt;
        } else if (parsed.archivePath) {
            error = "only one archive can be shown, not also '" + argument + "'";
            return std::nullopt;
        } else {
            parsed.archivePath = ArchivePathFromUserPath(argument);
            if (!parsed.archivePath) {
                error = "'" + argument + "' is no archive: name its .bin or .idx file";
                return std::nullopt;
            }
        }
    }
    return parsed;
}

} // namespace tavro
