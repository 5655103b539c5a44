// The encoder against the decoder: exact, repeatable round trips, the block layout and the compression.
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
        const float u = std::fmod(t, 64.0f) / 64.0f;
        const float vertex[8] = {std::sin(t * 0.01f), std::cos(t * 0.013f), t * 0.001f, 0, 1, 0, u, 0.5f};
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
    constexpr std::size_t kBlock = kLzp2BlockOutputSize;
    const std::size_t sizes[] = {0, 1, 3, 64, kBlock - 1, kBlock, kBlock + 1, 2 * kBlock + 4099};
    for (const Kind& kind : kinds) {
        for (const std::size_t size : sizes) {
            const Bytes input = kind.make(size);
            const Bytes stream = authoring::Lzp2Encode(input);
            EXPECT_EQ(stream.size() % 2048, 0u) << kind.name << " " << size;
            EXPECT_TRUE(DecodesTo(stream, input)) << kind.name << " " << size;
        }
    }
}

TEST(Lzp2Encode, CompressesRedundantDataAndBoundsExpansion) {
    const std::size_t size = kLzp2BlockOutputSize;
    const Bytes text = authoring::Lzp2Encode(TextLike(size));
    EXPECT_LT(text.size(), size / 3);
    EXPECT_EQ(authoring::Lzp2Encode(TextLike(size)), text); // the same bytes every time
    EXPECT_LT(authoring::Lzp2Encode(Runs(size)).size(), size / 20);
    EXPECT_LT(authoring::Lzp2Encode(MeshFloats(size)).size(), size / 2);
    // Incompressible data costs one length byte per 63 literals, plus a header and padding per block.
    EXPECT_LE(authoring::Lzp2Encode(RandomBytes(size)).size(), size + size / 63 + 4096);
}

} // namespace
} // namespace tavro
