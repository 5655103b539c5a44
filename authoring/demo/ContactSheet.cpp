#include "authoring/demo/ContactSheet.h"

#include "authoring/demo/BitmapFont.h"

#include <algorithm>
#include <cmath>

namespace tavro::authoring {
namespace {

constexpr Rgba kBackground{40, 40, 48, 255};
constexpr Rgba kLabelColor{235, 235, 235, 255};
constexpr Rgba kFailedTile{70, 16, 16, 255};
constexpr Rgba kFailedColor{255, 90, 90, 255};

} // namespace

ContactSheetLayout MakeContactSheetLayout(std::uint32_t tileCount, std::uint32_t tileWidth,
                                          std::uint32_t tileHeight) {
    ContactSheetLayout layout;
    layout.tileWidth = std::max<std::uint32_t>(tileWidth, 1);
    layout.tileHeight = std::max<std::uint32_t>(tileHeight, 1);
    tileCount = std::max<std::uint32_t>(tileCount, 1);
    // Labels of up to three digits take about a fifth of the tile's width.
    layout.labelScale = std::clamp<std::uint32_t>(layout.tileWidth / 60, 1, 6);
    layout.labelHeight = TextHeight(layout.labelScale) + 2 * layout.labelScale + 2;
    layout.gap = std::clamp<std::uint32_t>(layout.tileWidth / 40, 1, 8);
    // Columns for a sheet of about 4:3: columns / rows ~ (4/3) * cellHeight / cellWidth.
    const double cellWidth = layout.tileWidth + layout.gap;
    const double cellHeight = layout.tileHeight + layout.labelHeight + layout.gap;
    const double ideal = std::sqrt(tileCount * (4.0 / 3.0) * cellHeight / cellWidth);
    layout.columns = std::clamp<std::uint32_t>(static_cast<std::uint32_t>(std::lround(ideal)), 1, tileCount);
    layout.gridRows = (tileCount + layout.columns - 1) / layout.columns;
    return layout;
}

ContactSheet::ContactSheet(const ContactSheetLayout& sheetLayout)
    : layout(sheetLayout), image(sheetLayout.SheetWidth(), sheetLayout.SheetHeight(), kBackground) {}

void ContactSheet::PlaceTile(std::uint32_t k, const RgbaImage& picture, std::string_view label,
                             TileAlpha alpha) {
    RgbaImage tile(layout.tileWidth, layout.tileHeight, {0, 0, 0, 255});
    tile.Blit(picture, 0, 0);
    // Unless asked otherwise, the sheet is opaque whatever alpha the picture carries.
    for (std::size_t i = 3; alpha == TileAlpha::Opaque && i < tile.Pixels().size(); i += 4) {
        tile.Pixels()[i] = 255;
    }
    image.Blit(tile, layout.TileX(k), layout.TileY(k));
    WriteLabel(k, label, kLabelColor);
}

void ContactSheet::MarkFailed(std::uint32_t k, std::string_view label) {
    image.FillRect(layout.TileX(k), layout.TileY(k), layout.tileWidth, layout.tileHeight, kFailedTile);
    const std::uint32_t scale = FitTextScale("FAILED", layout.tileWidth * 8 / 10, layout.tileHeight / 3);
    const std::int64_t x =
        layout.TileX(k) + (std::int64_t{layout.tileWidth} - TextWidth("FAILED", scale)) / 2;
    const std::int64_t y = layout.TileY(k) + (std::int64_t{layout.tileHeight} - TextHeight(scale)) / 2;
    DrawText(image, "FAILED", x, y, scale, kFailedColor);
    WriteLabel(k, label, kFailedColor);
}

void ContactSheet::WriteLabel(std::uint32_t k, std::string_view label, Rgba color) {
    const std::uint32_t scale = layout.labelScale;
    const std::int64_t x = layout.TileX(k) + (std::int64_t{layout.tileWidth} - TextWidth(label, scale)) / 2;
    const std::int64_t y = layout.TileY(k) + layout.tileHeight + (layout.labelHeight - TextHeight(scale)) / 2;
    DrawText(image, label, x, y, scale, color);
}

} // namespace tavro::authoring
