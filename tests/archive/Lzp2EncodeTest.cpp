// The encoder against the decoder: exact round trips, the block layout, and the use of every op kind.
#include "archive/Lzp2.h"
#include "authoring/Lzp2Encoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace tavro {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::size_t size) {
    std::mt19937 random(7);
    Bytes bytes(size);
    for (auto& byte : bytes)
        byte = std::uint8_t(random());
    return bytes;
}

// Runs of random lengths (1 to 40000) of a few values: fills, and references right after them.
Bytes Runs(std::size_t size) {
    std::mt19937 random(11);
    Bytes bytes;
    while (bytes.size() < size)
        bytes.insert(bytes.end(), 1 + random() % (random() % 4 == 0 ? 40000 : 12),
                     std::uint8_t(random() % 3));
    bytes.resize(size);
    return bytes;
}

Bytes TextLike(std::size_t size) {
    static const char* const kWords[] = {"vertex ", "bone ",   "the ",   "of ",     "texture\n", "mesh ",
                                         "index ",  "weight ", "model ", "buffer ", "a ",        "skeleton "};
    std::mt19937 random(5);
    Bytes bytes;
    while (bytes.size() < size) {
        const std::string word = kWords[random() % std::size(kWords)];
        bytes.insert(bytes.end(), word.begin(), word.end());
    }
    bytes.resize(size);
    return bytes;
}

// 32-byte vertices (position, normal, texture coordinate) along a smooth surface.
Bytes MeshFloats(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t offset = 0; offset + 32 <= size; offset += 32) {
        const float t = float(offset / 32);
        const float vertex[8] = {std::sin(t * 0.01f),
                                 std::cos(t * 0.013f),
                                 t * 0.001f,
                                 0.0f,
                                 1.0f,
                                 0.0f,
                                 std::fmod(t, 64.0f) / 64.0f,
                                 0.5f};
        std::memcpy(bytes.data() + offset, vertex, sizeof vertex);
    }
    return bytes;
}

bool DecodesTo(const Bytes& stream, const Bytes& input) {
    std::unique_ptr<std::uint8_t[]> output(new std::uint8_t[input.size()]);
    return Lzp2Decode(stream.data(), std::uint32_t(stream.size()), output.get(),
                      std::uint32_t(input.size())) &&
           std::equal(input.begin(), input.end(), output.get());
}

TEST(Lzp2Encode, RoundTripsVariedDataAtBlockEdges) {
    struct Kind {
        const char* name;
        Bytes (*make)(std::size_t);
    };
    const Kind kinds[] = {{"random", RandomBytes}, {"runs", Runs}, {"text", TextLike}, {"mesh", MeshFloats}};
    const std::size_t sizes[] = {0,
                                 1,
                                 3,
                                 64,
                                 kLzp2BlockOutputSize - 1,
                                 kLzp2BlockOutputSize,
                                 kLzp2BlockOutputSize + 1,
                                 2 * kLzp2BlockOutputSize + 4099};
    for (const Kind& kind : kinds) {
        for (const std::size_t size : sizes) {
            const Bytes input = kind.make(size);
            const Bytes stream = authoring::Lzp2Encode(input);
            EXPECT_EQ(stream.size() % 2048, 0u) << kind.name << " " << size;
            EXPECT_TRUE(DecodesTo(stream, input)) << kind.name << " " << size;
        }
    }
}

TEST(Lzp2Encode, ReproducesTheWorkedExample) {
    const std::string text = "abcabcabcX";
    Bytes expected{0x4C, 0x5A, 0x50, 0x32, 0,    0,    0,    0,    0x0A, 0,    0,    0,   0x09,
                   0,    0,    0,    0x03, 0x61, 0x62, 0x63, 0x98, 0x02, 0x01, 0x58, 0x00};
    expected.resize(2048, 0);
    EXPECT_EQ(authoring::Lzp2Encode(Bytes(text.begin(), text.end())), expected);
}

// Walks the ops of every block and counts each kind, so the test sees what the encoder chose.
struct OpCensus {
    std::size_t literalRuns = 0;
    std::size_t fillRuns = 0;
    std::size_t references = 0;
    std::size_t overlappingReferences = 0;
    std::size_t crossBlockReferences = 0;
};

OpCensus TakeCensus(const Bytes& stream, std::size_t outputSize) {
    OpCensus census;
    std::size_t blockStart = 0;
    for (std::size_t blockOutput = 0; blockOutput < outputSize; blockOutput += kLzp2BlockOutputSize) {
        const std::size_t opStreamSize = stream.at(blockStart + 12) | stream.at(blockStart + 13) << 8 |
                                         stream.at(blockStart + 14) << 16 |
                                         std::size_t(stream.at(blockStart + 15)) << 24;
        std::size_t at = blockStart + 16;
        std::size_t written = blockOutput;
        for (std::uint8_t op; (op = stream.at(at)) != 0;) {
            if (op < 0x40) {
                ++census.literalRuns;
                written += op;
                at += 1 + op;
            } else if (op < 0x80) {
                ++census.fillRuns;
                written += ((op & 0x3F) << 8 | stream.at(at + 1)) + 4;
                at += 3;
            } else {
                const std::size_t length = ((op >> 3) & 0x0F) + 3;
                const std::size_t distance = ((op & 0x07) << 8 | stream.at(at + 1)) + 1;
                ++census.references;
                census.overlappingReferences += distance < length;
                census.crossBlockReferences += written - distance < blockOutput;
                written += length;
                at += 2;
            }
        }
        blockStart += (opStreamSize + 2063) / 2048 * 2048;
    }
    return census;
}

TEST(Lzp2Encode, UsesEveryOpKindDeterministically) {
    Bytes input = TextLike(kLzp2BlockOutputSize + 1000);
    const Bytes runs = Runs(300000);
    const Bytes noise = RandomBytes(5000);
    input.insert(input.end(), runs.begin(), runs.end());
    input.insert(input.end(), noise.begin(), noise.end());
    const std::string pattern = "xyz";
    for (int i = 0; i < 100; ++i)
        input.insert(input.end(), pattern.begin(), pattern.end());

    const Bytes stream = authoring::Lzp2Encode(input);
    ASSERT_TRUE(DecodesTo(stream, input));
    EXPECT_EQ(authoring::Lzp2Encode(input), stream);
    const OpCensus census = TakeCensus(stream, input.size());
    EXPECT_GT(census.literalRuns, 0u);
    EXPECT_GT(census.fillRuns, 0u);
    EXPECT_GT(census.references, 0u);
    EXPECT_GT(census.overlappingReferences, 0u);
    EXPECT_GT(census.crossBlockReferences, 0u);
}

TEST(Lzp2Encode, CompressesRedundantDataAndBoundsExpansion) {
    const std::size_t size = kLzp2BlockOutputSize;
    EXPECT_LT(authoring::Lzp2Encode(TextLike(size)).size(), size / 3);
    EXPECT_LT(authoring::Lzp2Encode(Runs(size)).size(), size / 20);
    EXPECT_LT(authoring::Lzp2Encode(MeshFloats(size)).size(), size / 2);
    // Incompressible data costs one length byte per 63 literals, plus a header and padding per block.
    EXPECT_LE(authoring::Lzp2Encode(RandomBytes(size)).size(), size + size / 63 + 4096);
}

} // namespace
} // namespace tavro
