#include "tools/Report.h"

#include <cstdio>
#include <new>

namespace tavro::tools {

int Fail(const std::string& message) {
    std::fprintf(stderr, "tavro: %s\n", message.c_str());
    return 1;
}

int RunReportingMemory(const std::string& input, const std::function<int()>& command) {
    try {
        return command();
    } catch (const std::bad_alloc&) {
        return Fail(input + ": not enough memory");
    }
}

} // namespace tavro::tools
