#pragma once
// A contact sheet: one image holding a grid of equally sized tiles, each with a label strip under it
// naming its schedule row. The sheet is kept close to 4:3 whatever the tile count.
#include "authoring/demo/RgbaImage.h"

#include <cstdint>
#include <string_view>

namespace tavro::authoring {

struct ContactSheetLayout {
    std::uint32_t tileWidth = 0;
    std::uint32_t tileHeight = 0;
    std::uint32_t labelHeight = 0; // the strip under each tile
    std::uint32_t labelScale = 1;  // font scale of the labels
    std::uint32_t gap = 0;         // between tiles and around the sheet
    std::uint32_t columns = 0;
    std::uint32_t gridRows = 0;

    std::uint32_t SheetWidth() const { return gap + columns * (tileWidth + gap); }
    std::uint32_t SheetHeight() const { return gap + gridRows * (tileHeight + labelHeight + gap); }
    // Top-left corner of tile k's picture (tiles run left to right, then top to bottom).
    std::uint32_t TileX(std::uint32_t k) const { return gap + (k % columns) * (tileWidth + gap); }
    std::uint32_t TileY(std::uint32_t k) const {
        return gap + (k / columns) * (tileHeight + labelHeight + gap);
    }
};

// The layout of tileCount tiles of tileWidth x tileHeight pixels (all at least 1).
ContactSheetLayout MakeContactSheetLayout(std::uint32_t tileCount, std::uint32_t tileWidth,
                                          std::uint32_t tileHeight);

// What PlaceTile does with a picture's alpha: makes every pixel opaque, or keeps it as drawn.
enum class TileAlpha { Opaque, AsDrawn };

class ContactSheet {
public:
    explicit ContactSheet(const ContactSheetLayout& layout);

    // Copies picture (cropped to the tile) into tile k and writes label under it.
    void PlaceTile(std::uint32_t k, const RgbaImage& picture, std::string_view label,
                   TileAlpha alpha = TileAlpha::Opaque);
    // Marks tile k as failed: an empty tile with "FAILED" across it, and label under it.
    void MarkFailed(std::uint32_t k, std::string_view label);

    const ContactSheetLayout& Layout() const { return layout; }
    const RgbaImage& Image() const { return image; }

private:
    void WriteLabel(std::uint32_t k, std::string_view label, Rgba color);

    ContactSheetLayout layout;
    RgbaImage image;
};

} // namespace tavro::authoring
