#include "app/IconFile.h"

#include "file/LittleEndian.h"

#include <algorithm>
#include <array>
#include <map>

namespace tavro {
namespace {

constexpr std::uint32_t kDirectoryHeaderBytes = 6;
constexpr std::uint32_t kDirectoryEntryBytes = 16;
constexpr std::uint32_t kBitmapHeaderBytes = 40;
constexpr std::size_t kPaletteColours = 256;
constexpr std::uint8_t kOpaqueAlpha = 128;

using Rgb = std::array<std::uint8_t, 3>;

// Bitmap rows are padded to whole 32-bit words.
std::uint32_t RowBytes(std::uint32_t width, std::uint32_t bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

Rgb PixelColour(const platform::IconImage& image, std::size_t pixel) {
    return Rgb{image.rgba[pixel * 4], image.rgba[pixel * 4 + 1], image.rgba[pixel * 4 + 2]};
}

bool IsOpaque(const platform::IconImage& image, std::size_t pixel) {
    return image.rgba[pixel * 4 + 3] >= kOpaqueAlpha;
}

// The most frequent opaque colours (at most 256), most frequent first, ties in colour order.
std::vector<Rgb> BuildPalette(const platform::IconImage& image) {
    std::map<Rgb, std::size_t> counts;
    const std::size_t pixels = static_cast<std::size_t>(image.size) * static_cast<std::size_t>(image.size);
    for (std::size_t pixel = 0; pixel < pixels; ++pixel) {
        if (IsOpaque(image, pixel)) {
            ++counts[PixelColour(image, pixel)];
        }
    }
    std::vector<std::pair<Rgb, std::size_t>> ranked(counts.begin(), counts.end());
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<Rgb> palette;
    for (std::size_t i = 0; i < ranked.size() && i < kPaletteColours; ++i) {
        palette.push_back(ranked[i].first);
    }
    if (palette.empty()) {
        palette.push_back(Rgb{0, 0, 0});
    }
    return palette;
}

std::uint8_t NearestIndex(const std::vector<Rgb>& palette, const Rgb& colour) {
    std::size_t best = 0;
    int bestDistance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        int distance = 0;
        for (int channel = 0; channel < 3; ++channel) {
            const int difference = int{palette[i][channel]} - int{colour[channel]};
            distance += difference * difference;
        }
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

// One image as the icon file stores it: a bitmap header of twice the height (colour rows, then the
// mask rows), the palette at 8 bits per pixel, the colour rows and the transparency mask, both bottom-up.
std::vector<std::uint8_t> EncodeImage(const platform::IconImage& image, std::uint32_t bitsPerPixel) {
    const auto size = static_cast<std::uint32_t>(image.size);
    const std::uint32_t colourRow = RowBytes(size, bitsPerPixel);
    const std::uint32_t maskRow = RowBytes(size, 1);
    const std::vector<Rgb> palette = bitsPerPixel == 8 ? BuildPalette(image) : std::vector<Rgb>{};

    std::vector<std::uint8_t> out;
    AppendU32(out, kBitmapHeaderBytes);
    AppendU32(out, size);
    AppendU32(out, size * 2);
    AppendU16(out, 1);
    AppendU16(out, bitsPerPixel);
    AppendU32(out, 0); // uncompressed
    AppendU32(out, (colourRow + maskRow) * size);
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, bitsPerPixel == 8 ? static_cast<std::uint32_t>(kPaletteColours) : 0);
    AppendU32(out, 0);
    if (bitsPerPixel == 8) {
        for (std::size_t i = 0; i < kPaletteColours; ++i) {
            const Rgb colour = i < palette.size() ? palette[i] : Rgb{0, 0, 0};
            out.insert(out.end(), {colour[2], colour[1], colour[0], 0});
        }
    }
    for (std::uint32_t row = size; row-- > 0;) {
        std::vector<std::uint8_t> line(colourRow, 0);
        for (std::uint32_t column = 0; column < size; ++column) {
            const std::size_t pixel = std::size_t{row} * size + column;
            const Rgb colour = IsOpaque(image, pixel) ? PixelColour(image, pixel) : Rgb{0, 0, 0};
            if (bitsPerPixel == 8) {
                line[column] = IsOpaque(image, pixel) ? NearestIndex(palette, colour) : 0;
            } else {
                line[column * 3] = colour[2];
                line[column * 3 + 1] = colour[1];
                line[column * 3 + 2] = colour[0];
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    for (std::uint32_t row = size; row-- > 0;) {
        std::vector<std::uint8_t> line(maskRow, 0);
        for (std::uint32_t column = 0; column < size; ++column) {
            if (!IsOpaque(image, std::size_t{row} * size + column)) {
                line[column / 8] |= static_cast<std::uint8_t>(0x80 >> (column % 8));
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

} // namespace

std::vector<std::uint8_t> EncodeIconFile(const platform::IconResource& icon) {
    for (const platform::IconImage& image : icon.images) {
        if (image.size < 1 || image.size > 256 ||
            image.rgba.size() !=
                static_cast<std::size_t>(image.size) * static_cast<std::size_t>(image.size) * 4) {
            return {};
        }
    }
    std::vector<std::vector<std::uint8_t>> encoded;
    std::vector<const platform::IconImage*> sources;
    std::vector<std::uint32_t> depths;
    for (const platform::IconImage& image : icon.images) {
        for (const std::uint32_t bitsPerPixel : {8u, 24u}) {
            encoded.push_back(EncodeImage(image, bitsPerPixel));
            sources.push_back(&image);
            depths.push_back(bitsPerPixel);
        }
    }

    std::vector<std::uint8_t> out;
    AppendU16(out, 0);
    AppendU16(out, 1); // icon
    AppendU16(out, static_cast<std::uint16_t>(encoded.size()));
    auto offset = static_cast<std::uint32_t>(kDirectoryHeaderBytes + kDirectoryEntryBytes * encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const auto dimension = static_cast<std::uint8_t>(sources[i]->size == 256 ? 0 : sources[i]->size);
        out.push_back(dimension);
        out.push_back(dimension);
        out.push_back(0); // colour count: 0 for 256 colours and more
        out.push_back(0);
        AppendU16(out, 1);
        AppendU16(out, depths[i]);
        AppendU32(out, static_cast<std::uint32_t>(encoded[i].size()));
        AppendU32(out, offset);
        offset += static_cast<std::uint32_t>(encoded[i].size());
    }
    for (const std::vector<std::uint8_t>& image : encoded) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

} // namespace tavro
