#include "authoring/G1TWriter.h"

#include "authoring/BlockCompress.h"
#include "file/LittleEndian.h"

#include <bit>
#include <utility>

namespace tavro::authoring {
namespace {

bool IsDimension(std::uint32_t size) {
    return std::has_single_bit(size) && size <= 32768;
}

} // namespace

std::vector<std::uint8_t> WriteG1T(std::span<const G1TTexture> textures) {
    if (textures.empty()) {
        return {};
    }
    const auto tableBytes = static_cast<std::uint32_t>(4 * textures.size());
    std::size_t total = g1t::kHeaderSize + tableBytes;
    for (const G1TTexture& texture : textures) {
        total += g1t::kRecordSize + texture.pixels.size();
    }
    std::vector<std::uint8_t> pack;
    pack.reserve(total);
    AppendU32(pack, g1t::kMagic);
    AppendU32(pack, g1t::kVersion);
    AppendU32(pack, static_cast<std::uint32_t>(total));
    AppendU32(pack, g1t::kHeaderSize); // the table follows the header
    AppendU32(pack, static_cast<std::uint32_t>(textures.size()));
    std::uint32_t recordOffset = tableBytes; // counted from the table's start
    for (const G1TTexture& texture : textures) {
        AppendU32(pack, recordOffset);
        recordOffset += g1t::kRecordSize + static_cast<std::uint32_t>(texture.pixels.size());
    }
    for (const G1TTexture& texture : textures) {
        const std::uint8_t record[g1t::kRecordSize] = {
            0,
            texture.format,
            static_cast<std::uint8_t>((texture.heightLog2 << 4) | (texture.widthLog2 & 0x0F)),
            0,
            0,
            0,
            0,
            0};
        pack.insert(pack.end(), record, record + sizeof record);
        pack.insert(pack.end(), texture.pixels.begin(), texture.pixels.end());
    }
    return pack;
}

bool MakeG1TTexture(std::uint8_t format, std::span<const std::uint8_t> rgba, std::uint32_t width,
                    std::uint32_t height, G1TTexture& texture) {
    texture = G1TTexture{};
    texture.format = format;
    if (!IsDimension(width) || !IsDimension(height) || rgba.size() != std::size_t{width} * height * 4) {
        return false;
    }
    texture.widthLog2 = static_cast<std::uint8_t>(std::countr_zero(width));
    texture.heightLog2 = static_cast<std::uint8_t>(std::countr_zero(height));
    switch (format) {
    case g1t::kFormatRGBA8:
        texture.pixels.assign(rgba.begin(), rgba.end());
        return true;
    case g1t::kFormatBGRA8:
        texture.pixels.assign(rgba.begin(), rgba.end());
        for (std::size_t i = 0; i < texture.pixels.size(); i += 4) {
            std::swap(texture.pixels[i], texture.pixels[i + 2]);
        }
        return true;
    case g1t::kFormatDXT1:
        texture.pixels = CompressBlocks(BlockFormat::BC1, rgba, width, height);
        return true;
    case g1t::kFormatDXT3:
        texture.pixels = CompressBlocks(BlockFormat::BC2, rgba, width, height);
        return true;
    case g1t::kFormatDXT5:
        texture.pixels = CompressBlocks(BlockFormat::BC3, rgba, width, height);
        return true;
    default:
        return false;
    }
}

} // namespace tavro::authoring
