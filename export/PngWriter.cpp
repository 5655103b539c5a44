#include "export/PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <limits>
#include <new>

namespace tavro {
namespace {

// A third of the int range for the filtered rows (a filter byte per row) keeps the one IDAT chunk
// within PNG's 2^31 - 1 bytes even when nothing compresses, and bounds the memory of an encode.
constexpr std::uint64_t kMaxFilteredBytes = std::numeric_limits<int>::max() / 3;

// What the compressed stream grows by when the output runs out: enough to keep the number of
// reallocations small for a frame, which usually compresses to a few hundred kilobytes.
constexpr std::size_t kOutputStep = 256 << 10;

std::uint64_t FilteredBytes(std::uint32_t width, std::uint32_t height) {
    return (std::uint64_t{width} * 4 + 1) * height;
}

void AppendBigEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    for (const int shift : {24, 16, 8, 0}) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void PutBigEndian(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
}

// Appends a chunk's length and type; FinishChunk then appends the CRC over its type and data.
std::size_t BeginChunk(std::vector<std::uint8_t>& png, const char (&type)[5]) {
    const std::size_t start = png.size();
    AppendBigEndian(png, 0); // the length, patched by FinishChunk
    png.insert(png.end(), type, type + 4);
    return start;
}

void FinishChunk(std::vector<std::uint8_t>& png, std::size_t start) {
    const std::size_t dataSize = png.size() - start - 8;
    PutBigEndian(png.data() + start, static_cast<std::uint32_t>(dataSize));
    const std::uint32_t crc = crc32_z(crc32(0, nullptr, 0), png.data() + start + 4, dataSize + 4);
    AppendBigEndian(png, crc);
}

// A deflate stream that appends to the IDAT chunk being built, growing the vector as it goes.
class IdatStream {
public:
    explicit IdatStream(std::vector<std::uint8_t>& output) : png(output) {
        // Level 1 with runs only: rendered frames are mostly flat, so after the Up filter they are long
        // runs of zeros, which this finds at several times the speed of a search for longer matches and
        // in about as few bytes.
        if (deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) {
            throw std::bad_alloc();
        }
    }
    IdatStream(const IdatStream&) = delete;
    IdatStream& operator=(const IdatStream&) = delete;
    ~IdatStream() { deflateEnd(&stream); }

    void Add(const std::uint8_t* data, std::size_t size, int flush) {
        stream.next_in = const_cast<Bytef*>(data); // zlib's interface is not const; it only reads
        stream.avail_in = static_cast<uInt>(size);
        for (;;) {
            if (png.size() == used) {
                png.resize(used + kOutputStep);
            }
            stream.next_out = png.data() + used;
            stream.avail_out = static_cast<uInt>(png.size() - used);
            const int status = deflate(&stream, flush);
            used = png.size() - stream.avail_out;
            if (status == Z_STREAM_END ||
                (flush == Z_NO_FLUSH && stream.avail_in == 0 && stream.avail_out != 0)) {
                return;
            }
            if (status != Z_OK && status != Z_BUF_ERROR) {
                throw std::bad_alloc(); // only running out of memory can stop a well-formed stream
            }
        }
    }

    // Drops the unused tail of the output.
    void Trim() { png.resize(used); }

private:
    std::vector<std::uint8_t>& png;
    std::size_t used = png.size();
    z_stream stream{};
};

void AppendImageData(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> rgba,
                     std::vector<std::uint8_t>& png) {
    const std::size_t rowBytes = std::size_t{width} * 4;
    // Every row is filtered by Up (its difference from the row above; the first row's is itself): one
    // subtraction per byte, and what stays the same from row to row becomes zeros.
    std::vector<std::uint8_t> filtered(rowBytes + 1);
    filtered[0] = 2;
    IdatStream stream(png);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = rgba.data() + y * rowBytes;
        if (y == 0) {
            std::copy_n(row, rowBytes, filtered.begin() + 1);
        } else {
            const std::uint8_t* above = row - rowBytes;
            for (std::size_t i = 0; i < rowBytes; ++i) {
                filtered[i + 1] = static_cast<std::uint8_t>(row[i] - above[i]);
            }
        }
        stream.Add(filtered.data(), filtered.size(), y + 1 == height ? Z_FINISH : Z_NO_FLUSH);
    }
    stream.Trim();
}

} // namespace

bool PngSizeFits(std::uint32_t width, std::uint32_t height) {
    return width != 0 && height != 0 && FilteredBytes(width, height) <= kMaxFilteredBytes;
}

std::string DescribePngSizeLimit(std::uint32_t width, std::uint32_t height) {
    return "an image of " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels is too large to write as PNG (at most " + std::to_string(kMaxFilteredBytes / (1 << 20)) +
           " MiB of pixels, about 13000 x 13000)";
}

bool EncodePng(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> rgba,
               std::vector<std::uint8_t>& png) {
    png.clear();
    if (!PngSizeFits(width, height) || rgba.size() != std::uint64_t{width} * height * 4) {
        return false;
    }
    try {
        constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        png.assign(kSignature.begin(), kSignature.end());

        std::size_t chunk = BeginChunk(png, "IHDR");
        AppendBigEndian(png, width);
        AppendBigEndian(png, height);
        // 8 bits per sample, RGBA, deflate, adaptive filtering, no interlace.
        png.insert(png.end(), {8, 6, 0, 0, 0});
        FinishChunk(png, chunk);

        chunk = BeginChunk(png, "IDAT");
        AppendImageData(width, height, rgba, png);
        FinishChunk(png, chunk);

        FinishChunk(png, BeginChunk(png, "IEND"));
    } catch (const std::bad_alloc&) {
        png.clear();
        return false;
    }
    return true;
}

} // namespace tavro
