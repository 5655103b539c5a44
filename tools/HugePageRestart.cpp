#include "tools/HugePageRestart.h"

#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <unistd.h>
#endif

namespace tavro::tools {

void RestartDrawingCommandWithHugePages(int argc, char** argv) {
#if defined(__GLIBC__)
    if (argc < 2 || (std::strcmp(argv[1], "render") != 0 && std::strcmp(argv[1], "contact-sheet") != 0) ||
        std::getenv("GLIBC_TUNABLES") != nullptr) {
        return;
    }
    // The program's own path, not /proc/self/exe, so that the process keeps its name.
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path - 1) {
        return;
    }
    path[length] = '\0';
    if (setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 0) == 0) {
        execv(path, argv);
        unsetenv("GLIBC_TUNABLES");
    }
#else
    (void)argc;
    (void)argv;
#endif
}

} // namespace tavro::tools
