#include "tools/ProgressLine.h"

#include <cstdio>
#include <unistd.h>

namespace tavro::tools {

ProgressLine::ProgressLine() : terminal(::isatty(STDERR_FILENO) == 1) {}

void ProgressLine::Show(const std::string& text) {
    if (terminal) {
        std::fprintf(stderr, "\r%s", text.c_str());
        open = true;
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    std::fflush(stderr);
}

void ProgressLine::Break() {
    if (open) {
        std::fputc('\n', stderr);
        open = false;
    }
}

} // namespace tavro::tools
