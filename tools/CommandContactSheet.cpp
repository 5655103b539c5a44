// tavro contact-sheet ARCHIVE.bin -o SHEET.png [--time-ms T] [--tile WxH] [--rows A-B] [view options]:
// every schedule row drawn headless, as the viewer shows it (or as the view options ask), into one grid
// image with the row number under each tile.
#include "authoring/demo/ContactSheet.h"
#include "export/PngWriter.h"
#include "tools/ArchiveOpening.h"
#include "tools/Commands.h"
#include "tools/FrameCapture.h"
#include "tools/HeadlessDevice.h"
#include "tools/OutputExtension.h"
#include "tools/OutputFile.h"
#include "tools/ProgressLine.h"
#include "tools/RenderedFrame.h"
#include "tools/Report.h"
#include "tools/RowRangeArgument.h"
#include "tools/ViewArguments.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <new>

namespace tavro::tools {
namespace {

// Tiles from 16 to 2048 pixels a side: smaller ones show nothing, larger ones make sheets of gigabytes.
constexpr std::uint32_t kMinTileSide = 16;
constexpr std::uint32_t kMaxTileSide = 2048;

struct ContactSheetOptions {
    std::string archive;
    std::string output;
    std::uint32_t timeMs = 500;
    std::string tile = "160x120";
    std::string rows = "all";
    ViewArguments view;
};

// Draws one row into a tile; false with error set when the row cannot be drawn.
bool DrawTile(const ContactSheetOptions& options, std::uint32_t row, HeadlessDevice& device,
              authoring::RgbaImage& tile, std::string& error) {
    FrameOptions frame;
    frame.archive = options.archive;
    frame.row = row;
    frame.timeMs = options.timeMs;
    frame.size = options.tile;
    frame.view = options.view;
    ScheduledFrame scheduled;
    if (!scheduled.Draw(frame, device.Factory(), device.Window(), error)) {
        return false;
    }
    gpu::PresentedImage image;
    if (!CaptureFrame(scheduled.Renderer(), image)) {
        error = "the drawn frame cannot be read back";
        return false;
    }
    tile = authoring::RgbaImage(image.width, image.height);
    tile.Pixels() = std::move(image.rgba);
    return true;
}

int RunContactSheet(const ContactSheetOptions& options) {
    ClientSize tileSize;
    if (!ParseClientSize(options.tile, tileSize) || tileSize.width < kMinTileSide ||
        tileSize.height < kMinTileSide || tileSize.width > kMaxTileSide || tileSize.height > kMaxTileSide) {
        return Fail("--tile must be WIDTHxHEIGHT with sides from " + std::to_string(kMinTileSide) + " to " +
                    std::to_string(kMaxTileSide) + ", not '" + options.tile + "'");
    }
    std::uint32_t firstRow = 0, lastRow = 0;
    if (!ParseRowRange(options.rows, firstRow, lastRow)) {
        return Fail(DescribeBadRowRange(options.rows));
    }
    const std::uint32_t count = lastRow - firstRow + 1;
    const authoring::ContactSheetLayout layout =
        authoring::MakeContactSheetLayout(count, tileSize.width, tileSize.height);
    if (!PngSizeFits(layout.SheetWidth(), layout.SheetHeight())) {
        return Fail("the contact sheet: " + DescribePngSizeLimit(layout.SheetWidth(), layout.SheetHeight()) +
                    "; use a smaller --tile or fewer --rows");
    }
    std::string error;
    ViewOptions view; // made here too, so that a wrong --background is one error rather than one per tile
    if (!MakeViewOptions(options.view, view, error) ||
        !CheckOutputExtension(options.output, ".png", "a PNG image", error)) {
        return Fail(error);
    }
    if (OpenArchive(options.archive, ArchiveReader::Orochiz, error) == nullptr) {
        return Fail(error);
    }
    OutputFile output;
    if (!output.Open(options.output, error)) {
        return Fail(error);
    }
    std::vector<std::uint8_t> png;
    std::uint32_t failures = 0;
    try {
        HeadlessDevice device; // outlives every graphics object made on it
        ProgressLine progress;
        authoring::ContactSheet sheet(layout);
        // A transparent background stays transparent in the tiles; the gaps and labels stay opaque.
        const authoring::TileAlpha tileAlpha =
            view.background[3] == 0.0f ? authoring::TileAlpha::AsDrawn : authoring::TileAlpha::Opaque;
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::uint32_t row = firstRow + k;
            progress.Show("contact-sheet: row " + std::to_string(row) + " (" + std::to_string(k + 1) +
                          " of " + std::to_string(count) + ")");
            authoring::RgbaImage tile;
            if (DrawTile(options, row, device, tile, error)) {
                sheet.PlaceTile(k, tile, std::to_string(row), tileAlpha);
            } else {
                sheet.MarkFailed(k, std::to_string(row));
                progress.Break();
                std::fprintf(stderr, "contact-sheet: %s\n", error.c_str());
                ++failures;
            }
        }
        progress.Break();
        const authoring::RgbaImage& image = sheet.Image();
        if (!EncodePng(image.Width(), image.Height(), image.Pixels(), png)) {
            return Fail("the contact sheet cannot be encoded as PNG (out of memory?)");
        }
    } catch (const std::bad_alloc&) {
        return Fail("out of memory while drawing the contact sheet");
    }
    if (!output.Write(png, error) || !output.Commit(error)) {
        return Fail(error);
    }
    if (failures != 0) {
        return Fail(std::to_string(failures) + " of " + std::to_string(count) +
                    " rows could not be drawn; their tiles are marked FAILED in " + options.output);
    }
    return 0;
}

} // namespace

void AddContactSheetCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ContactSheetOptions>();
    CLI::App* command = app.add_subcommand(
        "contact-sheet", "Draw every schedule row headless into one grid image with row numbers, as a PNG");
    command->add_option("archive", options->archive, "the archive's data file, NAME.bin")->required();
    command->add_option("-o,--output", options->output, "the PNG file to write")->required();
    command->add_option("--time-ms", options->timeMs, "milliseconds after each model's build (default 500)");
    command->add_option("--tile", options->tile, "tile size WIDTHxHEIGHT (default 160x120)");
    command->add_option("--rows", options->rows, "the rows to draw, all, A-B or A (default all)");
    AddViewOptions(*command, options->view);
    command->callback([options, &exitCode] { exitCode = RunContactSheet(*options); });
}

} // namespace tavro::tools
