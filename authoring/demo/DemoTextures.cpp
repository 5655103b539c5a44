#include "authoring/demo/DemoTextures.h"

#include "authoring/G1TWriter.h"
#include "authoring/demo/BitmapFont.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace tavro::authoring {
namespace {

constexpr std::uint8_t kFormats[] = {g1t::kFormatRGBA8, g1t::kFormatBGRA8, g1t::kFormatDXT1, g1t::kFormatDXT3,
                                     g1t::kFormatDXT5};
// Texture widths in a fixed cycle; 2048 is added separately on a few rows.
constexpr std::uint32_t kWidths[] = {256, 512, 128, 256, 1024, 64, 512, 256, 128, 256, 256, 512, 256};
constexpr std::uint32_t kMinimumSize = 16;

std::uint32_t ScaledSize(std::uint32_t size, float scale) {
    const float scaled = static_cast<float>(size) * std::sqrt(std::clamp(scale, 0.0f, 1.0f));
    std::uint32_t result = kMinimumSize;
    while (result * 2 <= scaled) {
        result *= 2;
    }
    return std::min(result, size);
}

// Whether pixel (x, y) takes the first of the pattern's two colours: one of six patterns by row.
bool InFirstColor(std::uint32_t row, std::uint32_t x, std::uint32_t y, std::uint32_t width,
                  std::uint32_t height) {
    const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(width);
    const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(height);
    constexpr float kTwoPi = 2 * std::numbers::pi_v<float>;
    bool useFirst = true;
    switch ((row / 5) % 6) {
    case 0: // checkerboard
        useFirst = (static_cast<int>(u * 8) + static_cast<int>(v * 8)) % 2 == 0;
        break;
    case 1: // diagonal stripes
        useFirst = static_cast<int>((u + v) * 10) % 2 == 0;
        break;
    case 2: { // rings about the middle
        const float d = std::hypot(u - 0.5f, v - 0.5f);
        useFirst = static_cast<int>(d * 24) % 2 == 0;
        break;
    }
    case 3: // grid lines
        useFirst = std::fmod(u * 8, 1.0f) > 0.12f && std::fmod(v * 8, 1.0f) > 0.12f;
        break;
    case 4: { // dots
        const float du = std::fmod(u * 8, 1.0f) - 0.5f;
        const float dv = std::fmod(v * 8, 1.0f) - 0.5f;
        useFirst = du * du + dv * dv > 0.09f;
        break;
    }
    default: // waves
        useFirst = std::sin(kTwoPi * (v * 6 + 0.15f * std::sin(kTwoPi * u * 3))) > 0;
        break;
    }
    return useFirst;
}

} // namespace

DemoTextureChoice ChooseDemoTexture(std::uint32_t row, float scale) {
    DemoTextureChoice choice{kFormats[row % std::size(kFormats)], kWidths[row % std::size(kWidths)], 0};
    if (row % 83 == 7) {
        choice.width = 2048;
        // The largest textures are kept block-compressed.
        if (choice.format == g1t::kFormatRGBA8 || choice.format == g1t::kFormatBGRA8) {
            choice.format = g1t::kFormatDXT1;
        }
    }
    choice.height = row % 11 == 4 && choice.width >= 128 ? choice.width / 2 : choice.width;
    choice.width = ScaledSize(choice.width, scale);
    choice.height = ScaledSize(choice.height, scale);
    return choice;
}

RgbaImage MakeDemoImage(std::uint32_t row, std::uint32_t width, std::uint32_t height) {
    RgbaImage image(width, height);
    // Two colours of the row's own hue: a light one and a dark one, so white text with a black
    // outline reads on both.
    const float hue = static_cast<float>(row) * 0.618034f;
    const Rgba first = ColorFromHsv(hue, 0.65f, 0.8f);
    const Rgba second = ColorFromHsv(hue + 0.45f, 0.55f, 0.45f);
    std::uint8_t* pixel = image.Pixels().data();
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x, pixel += 4) {
            const Rgba color = InFirstColor(row, x, y, width, height) ? first : second;
            pixel[0] = color.r;
            pixel[1] = color.g;
            pixel[2] = color.b;
            pixel[3] = color.a;
        }
    }
    // Two copies across and two down (one of each on small textures), every copy the same size: sized
    // for three digits so that all rows' numbers look alike.
    const std::string text = std::to_string(row);
    const std::uint32_t across = width >= 128 ? 2 : 1;
    const std::uint32_t down = height >= 128 ? 2 : 1;
    const std::uint32_t cellWidth = width / across;
    const std::uint32_t cellHeight = height / down;
    const std::uint32_t scale = FitTextScale("000", cellWidth * 85 / 100, cellHeight * 60 / 100);
    const std::uint32_t border = std::max<std::uint32_t>(1, scale / 3);
    for (std::uint32_t j = 0; j < down; ++j) {
        for (std::uint32_t i = 0; i < across; ++i) {
            const std::int64_t x = std::int64_t{i} * cellWidth + (cellWidth - TextWidth(text, scale)) / 2;
            const std::int64_t y = std::int64_t{j} * cellHeight + (cellHeight - TextHeight(scale)) / 2;
            DrawOutlinedText(image, text, x, y, scale, {255, 255, 255, 255}, {0, 0, 0, 255}, border);
        }
    }
    return image;
}

std::vector<std::uint8_t> MakeDemoTexturePack(std::uint32_t row, float scale) {
    const DemoTextureChoice choice = ChooseDemoTexture(row, scale);
    std::vector<G1TTexture> textures(1);
    const RgbaImage image = MakeDemoImage(row, choice.width, choice.height);
    if (!MakeG1TTexture(choice.format, image.Pixels(), choice.width, choice.height, textures[0])) {
        return {};
    }
    if (row % 4 == 2) {
        // A second texture that the viewer never shows: only the first of a pack is used.
        const RgbaImage spare = MakeDemoImage(row + 1, 16, 16);
        if (!MakeG1TTexture(g1t::kFormatBGRA8, spare.Pixels(), 16, 16, textures.emplace_back())) {
            return {};
        }
    }
    return WriteG1T(textures);
}

} // namespace tavro::authoring
