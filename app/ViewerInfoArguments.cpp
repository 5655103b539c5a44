#include "app/ViewerInfoArguments.h"

namespace tavro {

std::optional<std::string> ViewerInfoText(const std::string& programName,
                                          const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        return std::nullopt;
    }
    if (arguments[0] == "--version") {
        return programName + " " + TAVRO_VERSION + "\n";
    }
    if (arguments[0] == "--help") {
        return "Usage: " + programName +
               " [ARCHIVE.bin] [--row R] [--paused]\n"
               "Shows the 3D models of a packed game data archive one after another in a window, textured\n"
               "and turning, a new one every 4 seconds. Without arguments it shows those of LINKDATA1.bin\n"
               "(with its index LINKDATA1.idx) in the folder it is started from.\n"
               "\n"
               "Options:\n"
               "  ARCHIVE.bin  the archive's data file; its index is the same name with .idx\n"
               "  --row R      start at schedule row R (0 to 331)\n"
               "  --paused     start with the cycle and the turn paused\n"
               "  --help       print this help and exit\n"
               "  --version    print the version and exit\n"
               "\n"
               "File > Exit or the window's close button ends it; Help > About (Alt+? or Alt+/) shows the\n"
               "About box.\n";
    }
    return std::nullopt;
}

} // namespace tavro
