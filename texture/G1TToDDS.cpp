#include "texture/G1TToDDS.h"

#include "file/AbstractFile.h"
#include "texture/DDSFormat.h"
#include "texture/G1TFormat.h"

#include <cstring>
#include <memory>
#include <new>

namespace tavro {
namespace {

constexpr std::uint32_t kFourCCDXT1 = dds::MakeFourCC('D', 'X', 'T', '1');
constexpr std::uint32_t kFourCCDXT3 = dds::MakeFourCC('D', 'X', 'T', '3');
constexpr std::uint32_t kFourCCDXT5 = dds::MakeFourCC('D', 'X', 'T', '5');
// The caps written for every converted image: the texture bit plus bit 0x2.
constexpr std::uint32_t kConvertedCaps = dds::kCapsTexture | 0x2;

std::uint32_t LoadU32(const std::uint8_t* bytes) {
    std::uint32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

void StoreU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

// The DDS format code for a G1T format code, or 0 when the code is not one the converter knows.
std::uint32_t DDSFormatCode(std::uint8_t g1tFormat) {
    switch (g1tFormat) {
    case g1t::kFormatRGBA8:
        return g1t::kD3DFormatA8B8G8R8;
    case g1t::kFormatBGRA8:
        return g1t::kD3DFormatA8R8G8B8;
    case g1t::kFormatDXT1:
        return kFourCCDXT1;
    case g1t::kFormatDXT3:
        return kFourCCDXT3;
    case g1t::kFormatDXT5:
        return kFourCCDXT5;
    default:
        return 0;
    }
}

bool ReadExactly(CAbstractFile& file, std::uint64_t offset, void* destination, std::uint32_t count) {
    return file.Seek64(static_cast<std::int64_t>(offset)) && file.Read(destination, count) == count;
}

// The pack's header checked: its texture count, or 0 when the header is not a valid G1T header.
std::uint32_t ReadHeader(CAbstractFile& source, std::uint64_t& tableOffset) {
    // Offsets are handled in 64 bits so that no sum of header fields can wrap back into the file.
    const std::uint64_t fileSize = source.GetSize64();
    if (fileSize < g1t::kHeaderSize) {
        return 0;
    }
    std::uint8_t header[g1t::kHeaderSize];
    if (!ReadExactly(source, 0, header, sizeof header)) {
        return 0;
    }
    tableOffset = LoadU32(header + 12);
    const std::uint32_t textureCount = LoadU32(header + 16);
    if (LoadU32(header) != g1t::kMagic || LoadU32(header + 4) != g1t::kVersion ||
        LoadU32(header + 8) != fileSize || textureCount == 0 ||
        tableOffset + 4ull * textureCount > fileSize) {
        return 0;
    }
    return textureCount;
}

bool Convert(CAbstractFile& source, std::uint32_t index, CAbstractFile& destination) {
    std::uint64_t tableOffset = 0;
    if (index >= ReadHeader(source, tableOffset)) {
        return false;
    }
    // The whole table has been checked to lie inside the file; only the chosen entry is read.
    const std::uint64_t fileSize = source.GetSize64();
    std::uint8_t tableEntry[4];
    if (!ReadExactly(source, tableOffset + 4ull * index, tableEntry, sizeof tableEntry)) {
        return false;
    }
    const std::uint64_t recordOffset = tableOffset + LoadU32(tableEntry);
    if (recordOffset + g1t::kRecordSize > fileSize) {
        return false;
    }
    std::uint8_t record[g1t::kRecordSize];
    if (!ReadExactly(source, recordOffset, record, sizeof record)) {
        return false;
    }
    const std::uint32_t ddsFormat = DDSFormatCode(record[1]);
    if ((record[0] & 0x0F) != 0 || ddsFormat == 0) {
        return false;
    }
    const std::uint32_t width = 1u << (record[2] & 0x0F);
    const std::uint32_t height = 1u << (record[2] >> 4);
    // A 32768 x 32768 32-bit texture needs 4 GiB, which no pack of 32-bit size can hold.
    const std::uint64_t pixelBytes = g1t::PixelByteCount(record[1], width, height);
    const std::uint64_t pixelStart = recordOffset + g1t::kRecordSize;
    if (pixelBytes == 0 || pixelBytes > fileSize - pixelStart) {
        return false;
    }
    const std::vector<std::uint8_t> prefix = BuildDDSHeader(ddsFormat, width, height);
    const auto count = static_cast<std::uint32_t>(pixelBytes);
    const auto pixels = std::make_unique_for_overwrite<std::uint8_t[]>(count);
    if (source.Read(pixels.get(), count) != count) {
        return false;
    }
    const auto prefixSize = static_cast<std::uint32_t>(prefix.size());
    return destination.Write(prefix.data(), prefixSize) == prefixSize &&
           destination.Write(pixels.get(), count) == count;
}

} // namespace

bool ConvertG1TToDDS(CAbstractFile& source, CAbstractFile& destination) {
    return ConvertG1TTextureToDDS(source, 0, destination);
}

bool ConvertG1TTextureToDDS(CAbstractFile& source, std::uint32_t index, CAbstractFile& destination) {
    try {
        return Convert(source, index, destination);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::uint32_t CountG1TTextures(CAbstractFile& source) {
    std::uint64_t tableOffset = 0;
    return ReadHeader(source, tableOffset);
}

std::vector<std::uint8_t> BuildDDSHeader(std::uint32_t formatCode, std::uint32_t width,
                                         std::uint32_t height) {
    std::uint32_t pixelFlags = 0;
    std::uint32_t fourCC = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};
    switch (formatCode) {
    case kFourCCDXT1:
    case kFourCCDXT3:
    case kFourCCDXT5:
        pixelFlags = dds::kPixelFourCC;
        fourCC = formatCode;
        break;
    case g1t::kD3DFormatA8R8G8B8:
        pixelFlags = dds::kPixelRGB | dds::kPixelAlphaPixels;
        bitCount = 32;
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
        masks[3] = 0xFF000000;
        break;
    case g1t::kD3DFormatA8B8G8R8:
        pixelFlags = dds::kPixelRGB | dds::kPixelAlphaPixels;
        bitCount = 32;
        masks[0] = 0x000000FF;
        masks[1] = 0x0000FF00;
        masks[2] = 0x00FF0000;
        masks[3] = 0xFF000000;
        break;
    default:
        return {};
    }
    std::vector<std::uint8_t> prefix(dds::kPrefixSize, 0);
    StoreU32(prefix, 0, dds::kMagic);
    StoreU32(prefix, dds::kOffsetSize, dds::kHeaderSize);
    StoreU32(prefix, dds::kOffsetFlags,
             dds::kFlagCaps | dds::kFlagHeight | dds::kFlagWidth | dds::kFlagPixelFormat);
    StoreU32(prefix, dds::kOffsetHeight, height);
    StoreU32(prefix, dds::kOffsetWidth, width);
    StoreU32(prefix, dds::kOffsetPixelFormat, dds::kPixelFormatSize);
    StoreU32(prefix, dds::kOffsetPixelFormat + 4, pixelFlags);
    StoreU32(prefix, dds::kOffsetPixelFormat + 8, fourCC);
    StoreU32(prefix, dds::kOffsetPixelFormat + 12, bitCount);
    for (std::size_t i = 0; i < 4; ++i) {
        StoreU32(prefix, dds::kOffsetPixelFormat + 16 + 4 * i, masks[i]);
    }
    StoreU32(prefix, dds::kOffsetCaps, kConvertedCaps);
    return prefix;
}

} // namespace tavro
