// tavro-write-icon-png SIZE FILE: writes the application icon (the artwork the windows show) at SIZE x SIZE
// pixels as a PNG, for the desktop's icon theme. A build-time tool of the Linux install.
#include "app/AppIcon.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

int main(int argc, char** argv) {
    int size = 0;
    const std::string_view sizeText = argc == 3 ? argv[1] : "";
    const auto [end, status] = std::from_chars(sizeText.data(), sizeText.data() + sizeText.size(), size);
    if (argc != 3 || status != std::errc() || end != sizeText.data() + sizeText.size() || size < 1 ||
        size > 1024) {
        std::fprintf(stderr, "tavro-write-icon-png: usage: tavro-write-icon-png SIZE(1-1024) OUTPUT.png\n");
        return 2;
    }
    const tavro::platform::IconImage icon = tavro::DrawAppIcon(size);
    if (stbi_write_png(argv[2], size, size, 4, icon.rgba.data(), size * 4) == 0) {
        std::remove(argv[2]);
        std::fprintf(stderr, "tavro-write-icon-png: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
