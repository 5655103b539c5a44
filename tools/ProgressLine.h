#pragma once
// Progress of a long command on stderr: on a terminal one line rewritten in place with '\r'; into a
// file or pipe, where a carriage return would only garble the log, each step as a whole line.
#include <string>

namespace tavro::tools {

class ProgressLine {
public:
    ProgressLine();
    // Shows text as the current step.
    void Show(const std::string& text);
    // Ends the rewritten line before other output follows; does nothing when none is open.
    void Break();

private:
    bool terminal;
    bool open = false;
};

} // namespace tavro::tools
