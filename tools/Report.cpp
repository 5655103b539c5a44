#include "tools/Report.h"

#include <cstdio>

namespace tavro::tools {

int Fail(const std::string& message) {
    std::fprintf(stderr, "tavro: %s\n", message.c_str());
    return 1;
}

} // namespace tavro::tools
