#include "texture/G1TToDDS.h"

#include "authoring/G1TWriter.h"
#include "file/MemoryFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <numeric>

namespace tavro {
namespace {

using authoring::G1TTexture;
using authoring::WriteG1T;

std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, 4);
}

// Converts a pack held in its own exact-size heap block, so that an over-read is seen by the sanitizers.
bool Convert(const std::vector<std::uint8_t>& pack, std::size_t length, std::vector<std::uint8_t>& image) {
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[length == 0 ? 1 : length]);
    std::memcpy(copy.get(), pack.data(), length);
    CReadOnlyMemoryFile source(copy.get(), static_cast<std::uint32_t>(length), false);
    CMemoryFile destination;
    const bool converted = ConvertG1TToDDS(source, destination);
    image.assign(destination.GetBuffer(), destination.GetBuffer() + destination.GetSize());
    return converted;
}

bool Convert(const std::vector<std::uint8_t>& pack, std::vector<std::uint8_t>& image) {
    return Convert(pack, pack.size(), image);
}

std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
    return bytes;
}

G1TTexture Texture(std::uint8_t format, std::uint8_t widthLog2, std::uint8_t heightLog2,
                   std::size_t pixelBytes) {
    return G1TTexture{format, widthLog2, heightLog2, Pattern(pixelBytes)};
}

std::vector<std::uint8_t> Pack(const G1TTexture& texture) {
    return WriteG1T(std::span(&texture, 1));
}

struct PrefixCase {
    std::uint8_t g1tFormat;
    std::size_t pixelBytes; // of a 4 x 4 texture
    std::uint32_t pixelFlags;
    std::uint32_t fourCC;
    std::uint32_t bitCount;
    std::uint32_t masks[4];
};

TEST(ConvertG1TToDDS, WritesThePrefixAndPixelsOfEachFormat) {
    const PrefixCase cases[] = {
        {g1t::kFormatRGBA8, 64, 0x41, 0, 32, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}},
        {g1t::kFormatBGRA8, 64, 0x41, 0, 32, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}},
        {g1t::kFormatDXT1, 8, 0x4, 0x31545844, 0, {0, 0, 0, 0}},
        {g1t::kFormatDXT3, 16, 0x4, 0x33545844, 0, {0, 0, 0, 0}},
        {g1t::kFormatDXT5, 16, 0x4, 0x35545844, 0, {0, 0, 0, 0}},
    };
    for (const PrefixCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.g1tFormat));
        const G1TTexture texture = Texture(c.g1tFormat, 2, 2, c.pixelBytes);
        std::vector<std::uint8_t> image;
        ASSERT_TRUE(Convert(Pack(texture), image));
        ASSERT_EQ(image.size(), 128 + c.pixelBytes);

        std::vector<std::uint8_t> expected(128, 0);
        PutU32(expected, 0, 0x20534444);
        PutU32(expected, 4, 124);
        PutU32(expected, 8, 0x1007);
        PutU32(expected, 12, 4);
        PutU32(expected, 16, 4);
        PutU32(expected, 76, 32);
        PutU32(expected, 80, c.pixelFlags);
        PutU32(expected, 84, c.fourCC);
        PutU32(expected, 88, c.bitCount);
        for (int i = 0; i < 4; ++i) {
            PutU32(expected, 92 + 4 * i, c.masks[i]);
        }
        PutU32(expected, 108, 0x1002);
        EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.begin() + 128), expected);
        EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 128, image.end()), texture.pixels);
    }
}

// The record's nibbles give the dimensions, its format the pixel bytes; only the first texture is read.
TEST(ConvertG1TToDDS, RecordsGiveTheImageSizeOrAreRefused) {
    using namespace g1t;
    std::vector<std::uint8_t> highNibble = Pack(Texture(kFormatRGBA8, 0, 0, 4));
    highNibble[24] = 0xF0; // record byte 0 (after the 20-byte header and one table entry)
    std::vector<std::uint8_t> lowNibble = highNibble;
    lowNibble[24] = 0x01;
    // The second record is unreadable garbage; it must never be looked at.
    const G1TTexture firstAndGarbage[] = {Texture(kFormatDXT5, 2, 2, 16), Texture(0xFF, 15, 15, 3)};
    struct Case {
        const char* name;
        std::vector<std::uint8_t> pack;
        std::size_t imageSize; // 0: refused
        std::uint32_t width, height;
    };
    const Case cases[] = {
        {"dimensions byte 0x00 is 1 x 1", Pack(Texture(kFormatRGBA8, 0, 0, 4)), 132, 1, 1},
        {"dimensions byte 0xA9 is 512 x 1024", Pack(Texture(kFormatDXT1, 9, 10, 512 * 1024 / 2)),
         128 + 512 * 1024 / 2, 512, 1024},
        {"4 x 4 DXT1 is one block", Pack(Texture(kFormatDXT1, 2, 2, 8)), 136, 4, 4},
        // Less than a block; the loader refuses that later.
        {"2 x 2 DXT1 carries 2 bytes", Pack(Texture(kFormatDXT1, 1, 1, 8)), 130, 2, 2},
        {"only the first texture of a pack", WriteG1T(firstAndGarbage), 144, 4, 4},
        {"record byte 0 may use its high nibble", highNibble, 132, 1, 1},
        {"record byte 0 may not use its low nibble", lowNibble, 0, 0, 0},
        {"1 x 1 DXT1 has no whole byte", Pack(Texture(kFormatDXT1, 0, 0, 8)), 0, 0, 0},
        {"pixels short by one byte", Pack(Texture(kFormatRGBA8, 2, 2, 63)), 0, 0, 0},
        {"32768 x 32768 at 32 bits needs 4 GiB", Pack(Texture(kFormatRGBA8, 15, 15, 16)), 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> image;
        ASSERT_EQ(Convert(c.pack, image), c.imageSize != 0);
        if (c.imageSize != 0) {
            EXPECT_EQ(image.size(), c.imageSize);
            EXPECT_EQ(U32At(image, 16), c.width);
            EXPECT_EQ(U32At(image, 12), c.height);
        }
    }
    for (int code = 0; code < 256; ++code) {
        const bool known = code == 0 || code == 1 || code == 6 || code == 7 || code == 8;
        std::vector<std::uint8_t> image;
        EXPECT_EQ(Convert(Pack(Texture(static_cast<std::uint8_t>(code), 2, 2, 64)), image), known) << code;
    }
}

TEST(ConvertG1TToDDS, RefusesBadHeaderFields) {
    const std::vector<std::uint8_t> valid = Pack(Texture(g1t::kFormatRGBA8, 1, 1, 16));
    struct Corruption {
        const char* name;
        std::size_t offset;
        std::uint32_t value;
    };
    const Corruption corruptions[] = {
        {"magic", 0, 0x47315448},
        {"version", 4, 0x30303630},
        {"size field too small", 8, static_cast<std::uint32_t>(valid.size() - 1)},
        {"size field too large", 8, static_cast<std::uint32_t>(valid.size() + 1)},
        {"table beyond the end", 12, static_cast<std::uint32_t>(valid.size() - 3)},
        {"texture count 0", 16, 0},
        {"table of many textures", 16, 100},
        {"count whose table size wraps 32 bits", 16, 0x40000000},
        {"record beyond the end", 20, static_cast<std::uint32_t>(valid.size())},
        {"record offset wrapping 32 bits", 20, 0xFFFFFFFF},
    };
    for (const Corruption& c : corruptions) {
        std::vector<std::uint8_t> pack = valid;
        PutU32(pack, c.offset, c.value);
        std::vector<std::uint8_t> image;
        EXPECT_FALSE(Convert(pack, image)) << c.name;
        EXPECT_TRUE(image.empty()) << c.name;
    }
}

TEST(ConvertG1TToDDS, RecordOffsetThatWrapsBackIntoTheHeaderFails) {
    // Texture count 16 reads as a record (byte 0 = 0x10, RGBA8, 1 x 1) followed by four pixel bytes; an
    // entry of 0xFFFFFFFC would reach it from the table at 20 if the sum were allowed to wrap.
    std::vector<std::uint8_t> pack(20 + 16 * 4, 0);
    PutU32(pack, 0, g1t::kMagic);
    PutU32(pack, 4, g1t::kVersion);
    PutU32(pack, 8, static_cast<std::uint32_t>(pack.size()));
    PutU32(pack, 12, 20);
    PutU32(pack, 16, 16);
    PutU32(pack, 20, 0xFFFFFFFC);
    std::vector<std::uint8_t> image;
    EXPECT_FALSE(Convert(pack, image));
}

TEST(ConvertG1TToDDS, EveryTruncatedPrefixAndTrailingByteFails) {
    const G1TTexture textures[] = {Texture(g1t::kFormatDXT1, 3, 2, 16), Texture(g1t::kFormatRGBA8, 0, 0, 4)};
    std::vector<std::uint8_t> pack = WriteG1T(textures);
    std::vector<std::uint8_t> image;
    ASSERT_TRUE(Convert(pack, image));
    for (std::size_t length = 0; length < pack.size(); ++length) {
        EXPECT_FALSE(Convert(pack, length, image)) << length;
    }
    pack.push_back(0);
    EXPECT_FALSE(Convert(pack, image));
}

TEST(ConvertG1TToDDS, ReadsFromTheSourceStartAppendsAndFailsOnARefusedWrite) {
    const std::vector<std::uint8_t> pack = Pack(Texture(g1t::kFormatDXT1, 2, 2, 8));
    CReadOnlyMemoryFile source(pack.data(), static_cast<std::uint32_t>(pack.size()), false);
    ASSERT_TRUE(source.Seek(7));
    CMemoryFile destination;
    ASSERT_EQ(destination.Write("abc", 3), 3u);
    ASSERT_TRUE(ConvertG1TToDDS(source, destination));
    ASSERT_EQ(destination.GetSize(), 3u + 136u);
    EXPECT_EQ(std::memcmp(destination.GetBuffer(), "abcDDS ", 7), 0);
    std::uint8_t block[200];
    CReadOnlyMemoryFile refusing(block, sizeof block, false);
    EXPECT_FALSE(ConvertG1TToDDS(source, refusing));
}

TEST(BuildDDSHeader, UnknownFormatCodesGiveNothing) {
    for (std::uint32_t code : {0u, 20u, 28u, 0x32545844u /* DXT2 */, 0x30315844u /* DX10 */}) {
        EXPECT_TRUE(BuildDDSHeader(code, 4, 4).empty()) << code;
    }
}

} // namespace
} // namespace tavro
