#include "authoring/demo/ContactSheet.h"
#include "authoring/demo/BitmapFont.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tavro::authoring {
namespace {

bool SameColor(Rgba a, Rgba b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

TEST(ContactSheetLayout, EveryTileHasItsOwnCellInsideTheSheet) {
    struct Case {
        std::uint32_t count, width, height;
    };
    for (const Case c : {Case{1, 160, 120}, Case{2, 16, 16}, Case{7, 200, 50}, Case{332, 160, 120},
                         Case{48, 240, 180}, Case{100, 2048, 16}}) {
        SCOPED_TRACE(std::to_string(c.count) + " tiles of " + std::to_string(c.width) + "x" +
                     std::to_string(c.height));
        const ContactSheetLayout layout = MakeContactSheetLayout(c.count, c.width, c.height);
        ASSERT_GE(layout.columns * layout.gridRows, c.count);
        EXPECT_LT((layout.gridRows - 1) * layout.columns, c.count) << "the last grid row is empty";
        const std::uint32_t last = c.count - 1;
        EXPECT_LE(layout.TileX(last) + layout.tileWidth, layout.SheetWidth());
        EXPECT_LE(layout.TileY(last) + layout.tileHeight + layout.labelHeight, layout.SheetHeight());
        EXPECT_LE(layout.TileX(layout.columns - 1) + layout.tileWidth + layout.gap, layout.SheetWidth());
        if (c.count > 1) {
            // Neighbours do not overlap: across by a tile and a gap, down by a tile, a label and a gap.
            const std::uint32_t down = std::min(layout.columns, last);
            EXPECT_GE(layout.TileX(1), layout.TileX(0) + layout.tileWidth);
            EXPECT_GE(layout.TileY(down) +
                          (down == layout.columns ? 0 : layout.tileHeight + layout.labelHeight),
                      layout.TileY(0) + layout.tileHeight + layout.labelHeight);
        }
        EXPECT_GE(layout.labelHeight, TextHeight(layout.labelScale));
    }
    // Many tiles make a sheet of about 4:3.
    const ContactSheetLayout many = MakeContactSheetLayout(332, 160, 120);
    const double ratio = static_cast<double>(many.SheetWidth()) / many.SheetHeight();
    EXPECT_GT(ratio, 1.1);
    EXPECT_LT(ratio, 1.6);
}

TEST(ContactSheet, TilesLabelsAndFailuresLandInTheirOwnCells) {
    const ContactSheetLayout layout = MakeContactSheetLayout(3, 64, 48);
    ContactSheet sheet(layout);
    const Rgba background = sheet.Image().Get(0, 0);
    // A picture larger than the tile is cropped to it, so it cannot spill into its neighbour.
    const RgbaImage red(200, 200, {255, 0, 0, 0});
    sheet.PlaceTile(1, red, "331");
    sheet.MarkFailed(2, "7");
    const RgbaImage& image = sheet.Image();

    EXPECT_TRUE(SameColor(image.Get(layout.TileX(1), layout.TileY(1)), {255, 0, 0, 255})) << "made opaque";
    EXPECT_TRUE(SameColor(image.Get(layout.TileX(1) + 63, layout.TileY(1) + 47), {255, 0, 0, 255}));
    EXPECT_TRUE(SameColor(image.Get(layout.TileX(1) + 64, layout.TileY(1)), background));
    EXPECT_TRUE(SameColor(image.Get(layout.TileX(0), layout.TileY(0)), background))
        << "tile 0 was never drawn";

    const auto countOther = [&](std::uint32_t k, std::uint32_t top, std::uint32_t height, Rgba plain) {
        std::uint32_t count = 0;
        for (std::uint32_t y = top; y < top + height; ++y) {
            for (std::uint32_t x = layout.TileX(k); x < layout.TileX(k) + layout.tileWidth; ++x) {
                count += SameColor(image.Get(x, y), plain) ? 0 : 1;
            }
        }
        return count;
    };
    EXPECT_GT(countOther(1, layout.TileY(1) + layout.tileHeight, layout.labelHeight, background), 0u)
        << "no label under tile 1";
    const Rgba failedFill = image.Get(layout.TileX(2), layout.TileY(2));
    EXPECT_FALSE(SameColor(failedFill, background));
    EXPECT_GT(countOther(2, layout.TileY(2), layout.tileHeight, failedFill), 0u)
        << "no FAILED text on tile 2";
}

TEST(BitmapFont, DigitsAreDistinctAndDrawingClipsAtTheEdges) {
    // The glyphs' pixels are kept as strings: g++ 12 at -O3 reports a false over-read when it inlines the
    // comparison of byte vectors.
    std::set<std::string> shapes;
    for (char digit = '0'; digit <= '9'; ++digit) {
        RgbaImage glyph(kGlyphWidth, kGlyphHeight);
        DrawText(glyph, std::string(1, digit), 0, 0, 1, {255, 255, 255, 255});
        shapes.emplace(glyph.Pixels().begin(), glyph.Pixels().end());
    }
    EXPECT_EQ(shapes.size(), 10u);
    EXPECT_EQ(TextWidth("123", 2), 34u);
    EXPECT_EQ(FitTextScale("000", 170, 70), 10u);

    // Text hanging over every edge draws only what lies inside (the sanitizers watch the rest).
    RgbaImage small(8, 8);
    DrawOutlinedText(small, "8888", -7, -5, 3, {255, 255, 255, 255}, {1, 2, 3, 255}, 2);
    DrawOutlinedText(small, "8", 6, 6, 4, {255, 255, 255, 255}, {1, 2, 3, 255}, 2);
    EXPECT_TRUE(SameColor(small.Get(7, 7), {255, 255, 255, 255}));
}

} // namespace
} // namespace tavro::authoring
