// tavro-write-icon FILE: writes the application icon (the artwork the SDL window shows) as a Windows icon
// file, for the resource script. A build-time tool of the Windows program.
#include "app/AppIcon.h"
#include "app/IconFile.h"

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "tavro-write-icon: usage: tavro-write-icon OUTPUT.ico\n");
        return 2;
    }
    const std::vector<std::uint8_t> bytes = tavro::EncodeIconFile(tavro::AppIcon());
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "tavro-write-icon: cannot create %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written || bytes.empty()) {
        std::remove(argv[1]);
        std::fprintf(stderr, "tavro-write-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
