#include "tools/RowRangeRender.h"

#include "app/RowPreparer.h"
#include "export/PngWriter.h"
#include "tools/ArchiveOpening.h"
#include "tools/FrameCapture.h"
#include "tools/HeadlessDevice.h"
#include "tools/OutputFile.h"
#include "tools/OutputFolder.h"
#include "tools/Report.h"

#include <cstdio>
#include <filesystem>
#include <future>
#include <memory>
#include <vector>

namespace tavro::tools {
namespace {

// Encodes the image and writes it, finished but not yet in place, to file (already opened).
bool EncodeAndWrite(const gpu::PresentedImage& image, OutputFile& file, std::string& error) {
    std::vector<std::uint8_t> png;
    if (!EncodePng(image.width, image.height, image.rgba, png)) {
        error = file.Path() + ": the frame cannot be encoded as PNG (out of memory?)";
        return false;
    }
    return file.Write(png, error) && file.Finish(error);
}

std::string RowFileName(std::uint32_t row) {
    char name[16];
    std::snprintf(name, sizeof name, "row-%03u.png", row);
    return name;
}

} // namespace

int RenderRowRange(const FrameOptions& options, std::uint32_t first, std::uint32_t last,
                   const std::string& outputDirectory) {
    ClientSize size;
    if (!ParseClientSize(options.size, size)) {
        return Fail("--size must be WIDTHxHEIGHT with sides from 1 to 16384, not '" + options.size + "'");
    }
    if (!PngSizeFits(size.width, size.height)) {
        return Fail(DescribePngSizeLimit(size.width, size.height));
    }
    std::string error;
    ViewOptions view;
    if (!MakeViewOptions(options.view, view, error)) {
        return Fail(error);
    }
    if (OpenArchive(options.archive, ArchiveReader::Orochiz, error) == nullptr) {
        return Fail(error);
    }
    OutputFolder folder;
    if (!folder.Create(outputDirectory, error)) {
        return Fail(error);
    }
    const std::wstring archivePath = std::filesystem::u8path(options.archive).wstring();
    const auto prepare = [&archivePath](std::uint32_t row) {
        return std::async(std::launch::async,
                          [&archivePath, row] { return PrepareScheduleRow(archivePath, row); });
    };

    HeadlessDevice device;                          // outlives every graphics object made on it
    std::vector<std::unique_ptr<OutputFile>> files; // put in place together once every row is written
    std::future<bool> writing;
    std::string writeError;
    const auto failed = [&](const std::string& message) {
        if (writing.valid()) {
            writing.wait();
        }
        files.clear(); // removes the temporaries
        folder.RemoveCreated();
        return Fail(message);
    };
    auto frame = std::make_unique<ScheduledFrame>();
    if (!frame->SetUp(size, device.Factory(), device.Window(), error)) {
        return failed(error);
    }
    frame->Renderer().view = view;
    std::future<std::unique_ptr<PreparedRow>> next = prepare(first);
    for (std::uint32_t row = first; row <= last; ++row) {
        std::unique_ptr<PreparedRow> prepared = next.get();
        if (row < last) {
            next = prepare(row + 1);
        }
        if (prepared == nullptr) {
            // The synchronous build of the row says what is wrong with it.
            FrameOptions single = options;
            single.row = row;
            ScheduledFrame reporter;
            if (reporter.Draw(single, device.Factory(), device.Window(), error)) {
                error = "the archive changed while it was read";
            }
            const std::string rowName = "row " + std::to_string(row) + ": ";
            return failed(error.starts_with(rowName) ? error : rowName + error);
        }
        gpu::PresentedImage image;
        if (!frame->DrawPrepared(std::move(prepared->model), row, options.timeMs, error)) {
            return failed(error);
        }
        if (!CaptureFrame(frame->Renderer(), image)) {
            return failed("row " + std::to_string(row) + ": the drawn frame cannot be read back");
        }
        if (writing.valid() && !writing.get()) {
            return failed(writeError);
        }
        auto& file = files.emplace_back(std::make_unique<OutputFile>());
        const std::string path = outputDirectory + "/" + RowFileName(row);
        if (!file->Open(path, error)) {
            return failed(error);
        }
        writing = std::async(std::launch::async, [image = std::move(image), &file = *file, &writeError] {
            return EncodeAndWrite(image, file, writeError);
        });
    }
    if (!writing.get()) {
        return failed(writeError);
    }
    for (const std::unique_ptr<OutputFile>& file : files) {
        if (!file->Commit(error)) {
            return failed(error);
        }
    }
    return 0;
}

} // namespace tavro::tools
