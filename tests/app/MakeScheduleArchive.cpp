// make-schedule-archive DIR [TRIANGLES [TEXTURE_SIZE]]: writes DIR/LINKDATA1.bin and .idx, the generated
// archive of tests/app/ScheduleArchive.h, for the window test and for trying the viewer by hand.
#include "tests/app/ScheduleArchive.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

bool ParseCount(const char* text, std::uint32_t& value) {
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text, &end, 10);
    if (end == text || *end != 0 || parsed > 10'000'000) {
        return false;
    }
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {
            std::fprintf(stderr,
                         "make-schedule-archive: unknown option '%s' (usage: make-schedule-archive DIR "
                         "[TRIANGLES [TEXTURE_SIZE]])\n",
                         argv[i]);
            return 2;
        }
    }
    tavro::apptest::ScheduleArchiveOptions options;
    if (argc < 2 || argc > 4 || (argc > 2 && !ParseCount(argv[2], options.modelTriangles)) ||
        (argc > 3 && !ParseCount(argv[3], options.textureSize))) {
        std::fprintf(stderr,
                     "make-schedule-archive: usage: make-schedule-archive DIR [TRIANGLES [TEXTURE_SIZE]]\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(argv[1], error);
    const std::string failure =
        tavro::apptest::WriteScheduleArchive(std::filesystem::path(argv[1]) / "LINKDATA1.bin", options);
    if (!failure.empty()) {
        std::fprintf(stderr, "make-schedule-archive: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}
