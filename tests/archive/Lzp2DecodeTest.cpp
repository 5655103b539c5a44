// Decoder behaviour on hand-built streams, where the bytes themselves are the point.
#include "archive/Lzp2.h"
#include "authoring/Lzp2Encoder.h"
#include "file/LittleEndian.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace tavro {
namespace {

using Bytes = std::vector<std::uint8_t>;

// One block: header, the ops as given (the caller ends them) and zero padding to a multiple of 2048.
// The op stream size field is the length of ops unless opStreamSize says otherwise.
Bytes Block(std::uint32_t outputSize, const Bytes& ops, std::int64_t opStreamSize = -1) {
    Bytes block{'L', 'Z', 'P', '2'};
    AppendU32(block, 0xDEADBEEF);
    AppendU32(block, outputSize);
    AppendU32(block, opStreamSize < 0 ? std::uint32_t(ops.size()) : std::uint32_t(opStreamSize));
    block.insert(block.end(), ops.begin(), ops.end());
    block.resize((block.size() + 2047) / 2048 * 2048, 0);
    return block;
}

Bytes Concat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// The bytes 1, 2, ..., count.
Bytes Counting(std::size_t count) {
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t(1));
    return bytes;
}

// Ops that fill a whole 512 KiB block with 32 runs of 16384 bytes valued 0, 1, ..., 31.
Bytes FullBlockOps() {
    Bytes ops;
    for (std::uint8_t value = 0; value < 32; ++value)
        ops.insert(ops.end(), {0x7F, 0xFC, value});
    ops.push_back(0x00);
    return ops;
}

// Decodes into a fresh heap block of exactly outputSize bytes from a fresh copy of the stream, so that
// AddressSanitizer reports any access outside either.
bool Decode(const Bytes& stream, std::uint32_t outputSize, Bytes* decoded = nullptr) {
    std::unique_ptr<std::uint8_t[]> source(new std::uint8_t[stream.size()]);
    std::memcpy(source.get(), stream.data(), stream.size());
    std::unique_ptr<std::uint8_t[]> output(new std::uint8_t[outputSize]);
    const bool ok = Lzp2Decode(source.get(), std::uint32_t(stream.size()), output.get(), outputSize);
    if (decoded)
        decoded->assign(output.get(), output.get() + outputSize);
    return ok;
}

const Bytes kWorkedExample{0x4C, 0x5A, 0x50, 0x32, 0x11, 0x22, 0x33, 0x44, 0x0A, 0x00, 0x00, 0x00, 0x09,
                           0x00, 0x00, 0x00, 0x03, 0x61, 0x62, 0x63, 0x98, 0x02, 0x01, 0x58, 0x00};

// The decoder needs no padding after the final op; the encoder writes the same ops with a zero unused
// word, padded to 2048 bytes.
TEST(Lzp2Decode, WorkedExampleBothWays) {
    Bytes decoded;
    ASSERT_TRUE(Decode(kWorkedExample, 10, &decoded));
    EXPECT_EQ(std::string(decoded.begin(), decoded.end()), "abcabcabcX");
    Bytes encoded = kWorkedExample;
    std::fill_n(encoded.begin() + 4, 4, 0);
    encoded.resize(2048, 0);
    EXPECT_EQ(authoring::Lzp2Encode(decoded), encoded);
}

TEST(Lzp2Decode, EmptyOutputNeverReadsTheSource) {
    std::uint8_t output = 0x5A;
    EXPECT_TRUE(Lzp2Decode(nullptr, 0, &output, 0));
    EXPECT_EQ(output, 0x5A);
}

TEST(Lzp2Decode, RunsProduceTheirBytes) {
    struct Case {
        const char* name;
        Bytes ops;
        Bytes expected;
    };
    const Case cases[] = {
        {"shortest fill", {0x40, 0x00, 0x41, 0x00}, Bytes(4, 0x41)},
        {"longest fill", {0x7F, 0xFF, 0x07, 0x00}, Bytes(16387, 0x07)},
        {"longest literal run", Concat(Concat({0x3F}, Counting(63)), {0x00}), Counting(63)},
    };
    for (const Case& c : cases) {
        Bytes decoded;
        EXPECT_TRUE(Decode(Block(std::uint32_t(c.expected.size()), c.ops), std::uint32_t(c.expected.size()),
                           &decoded))
            << c.name;
        EXPECT_EQ(decoded, c.expected) << c.name;
    }
}

// A block may end before its output size; the rest of its region reads as zeros, never as whatever the
// buffer held, on both the careful path and the wide path (a long block).
TEST(Lzp2Decode, BlockEndingShortLeavesZeros) {
    for (const std::uint32_t size : {5u, 4096u}) {
        const Bytes stream = Block(size, {0x40, 0x00, 0x41, 0x00});
        std::unique_ptr<std::uint8_t[]> output(new std::uint8_t[size]);
        std::memset(output.get(), 0xEE, size);
        ASSERT_TRUE(Lzp2Decode(stream.data(), std::uint32_t(stream.size()), output.get(), size)) << size;
        Bytes expected(size, 0);
        std::fill_n(expected.begin(), 4, 0x41);
        EXPECT_EQ(Bytes(output.get(), output.get() + size), expected) << size;
    }
}

// Overlapping references of every distance and length against a byte-at-a-time model, after a long
// literal prefix; once with a fill behind them so the wide copies run, once at the very block end.
TEST(Lzp2Decode, OverlappingReferencesMatchByteOrderCopy) {
    const Bytes prefix = Counting(63);
    for (const bool atBlockEnd : {false, true}) {
        for (std::uint32_t distance = 1; distance <= 40; ++distance) {
            for (std::uint32_t length = 3; length <= 18; ++length) {
                Bytes ops = Concat({0x3F}, prefix);
                Bytes expected = prefix;
                for (int repeat = 0; repeat < 3; ++repeat) {
                    ops.push_back(std::uint8_t(0x80 | (length - 3) << 3 | (distance - 1) >> 8));
                    ops.push_back(std::uint8_t((distance - 1) & 0xFF));
                    for (std::uint32_t i = 0; i < length; ++i)
                        expected.push_back(expected[expected.size() - distance]);
                }
                if (!atBlockEnd) {
                    ops.insert(ops.end(), {0x40, 96, 0xCC});
                    expected.insert(expected.end(), 100, 0xCC);
                }
                ops.push_back(0x00);
                Bytes decoded;
                ASSERT_TRUE(Decode(Block(std::uint32_t(expected.size()), ops), std::uint32_t(expected.size()),
                                   &decoded));
                ASSERT_EQ(decoded, expected) << "distance " << distance << " length " << length;
            }
        }
    }
}

// A full first block, then a second that copies from 2048 bytes back, across the block edge.
TEST(Lzp2Decode, ReferenceReachesIntoThePreviousBlock) {
    const Bytes stream = Concat(Block(kLzp2BlockOutputSize, FullBlockOps()), Block(18, {0xFF, 0xFF, 0x00}));
    Bytes decoded;
    ASSERT_TRUE(Decode(stream, kLzp2BlockOutputSize + 18, &decoded));
    for (std::uint32_t i = 0; i < 18; ++i)
        EXPECT_EQ(decoded[kLzp2BlockOutputSize + i], decoded[kLzp2BlockOutputSize + i - 2048]);
    EXPECT_EQ(decoded.back(), 31);
}

// The next block starts at the padded end of the op stream, whatever the op stream really holds.
TEST(Lzp2Decode, OpStreamSizeFieldPlacesTheNextBlock) {
    for (const std::uint32_t opStreamSize : {0u, 1u, 2032u, 2033u, 4080u}) {
        Bytes first = Block(kLzp2BlockOutputSize, FullBlockOps(), opStreamSize);
        first.resize((16 + opStreamSize + 2047) / 2048 * 2048, 0);
        const Bytes stream = Concat(first, Block(1, {0x01, 0xBB, 0x00}));
        Bytes decoded;
        ASSERT_TRUE(Decode(stream, kLzp2BlockOutputSize + 1, &decoded)) << opStreamSize;
        EXPECT_EQ(decoded.back(), 0xBB);
        EXPECT_EQ(decoded[kLzp2BlockOutputSize - 1], 31);
    }
}

TEST(Lzp2Decode, RefusesMalformedStreams) {
    struct Case {
        const char* name;
        Bytes stream;
        std::uint32_t outputSize;
    };
    Bytes badMagic = Block(4, {0x40, 0x00, 0x41, 0x00});
    badMagic[3] = '1';
    // Eight literal bytes, then a reference 9 back, one byte before the output start, with enough ops
    // and output after it that the decoder is on its wide path there; then 30 fills of 4 bytes.
    Bytes farFromBothEnds = {0x08, 1, 2, 3, 4, 5, 6, 7, 8, 0x80, 0x08};
    for (int fill = 0; fill < 30; ++fill)
        farFromBothEnds.insert(farFromBothEnds.end(), {0x40, 0x00, 0x5A});
    farFromBothEnds.push_back(0x00);
    const Case cases[] = {
        {"magic LZP1", badMagic, 4},
        {"size field of a full block in a short entry", Block(kLzp2BlockOutputSize, {0x40, 0x00, 0x41, 0x00}),
         1000},
        {"size field of a short block where a full one is due", Block(1000, {0x00}), 600000},
        {"op stream size whose header sum overflows", Block(4, {0x40, 0x00, 0x41, 0x00}, 0xFFFFFFF0), 4},
        // Rounded up in 32 bits this size would wrap to 0 and read the first block again.
        {"op stream size whose padded end wraps", Block(kLzp2BlockOutputSize, FullBlockOps(), 0xFFFFF800),
         2 * kLzp2BlockOutputSize},
        {"header cut short", Bytes{'L', 'Z', 'P', '2', 0, 0, 0, 0, 4, 0, 0}, 4},
        {"reference before the output start", Block(4, {0x01, 0x41, 0x80, 0x01, 0x00}), 4},
        {"reference one byte before the start, far from both ends", Block(131, farFromBothEnds), 131},
        {"reference in an empty output", Block(3, {0x80, 0x00, 0x00}), 3},
        {"literal run past the block end", Block(2, {0x03, 1, 2, 3, 0x00}), 2},
        {"fill run past the block end", Block(3, {0x40, 0x00, 0x41, 0x00}), 3},
        {"reference past the block end", Block(3, {0x01, 0x41, 0x80, 0x00, 0x00}), 3},
        {"second block missing", Block(kLzp2BlockOutputSize, {0x00}), kLzp2BlockOutputSize + 1},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(Decode(c.stream, c.outputSize)) << c.name;
}

// The bound on the output is reached: blocks of a header and an end op each, 2048 bytes apart, the
// last one cut right after its end op, decode to whole zero blocks. One source byte fewer leaves room
// for one block fewer, so a size above the bound is never a valid stream's.
TEST(Lzp2Decode, LargestOutputIsReachedExactly) {
    EXPECT_EQ(Lzp2MaxOutputSize(0), 0u);
    EXPECT_EQ(Lzp2MaxOutputSize(16), 0u);
    for (std::uint32_t blocks = 1; blocks <= 3; ++blocks) {
        const Bytes block = Block(kLzp2BlockOutputSize, {0x00});
        Bytes stream;
        for (std::uint32_t k = 1; k < blocks; ++k)
            stream = Concat(stream, block);
        stream = Concat(stream, Bytes(block.begin(), block.begin() + 17));
        const std::uint32_t sourceSize = std::uint32_t(stream.size());
        EXPECT_EQ(Lzp2MaxOutputSize(sourceSize), blocks * std::uint64_t{kLzp2BlockOutputSize});
        EXPECT_EQ(Lzp2MaxOutputSize(sourceSize - 1), (blocks - 1) * std::uint64_t{kLzp2BlockOutputSize});
        Bytes decoded;
        ASSERT_TRUE(Decode(stream, blocks * kLzp2BlockOutputSize, &decoded)) << blocks;
        EXPECT_EQ(decoded, Bytes(decoded.size(), 0)) << blocks;
    }
}

// A literal run that the source ends inside is refused, also when the bytes after the source's end
// would complete it and end the block.
TEST(Lzp2Decode, LiteralRunPastTheSourceEndIsRefused) {
    Bytes stream = Block(3, {0x03, 1, 2, 3, 0x00});
    const std::uint32_t sourceSize = 16 + 3;
    std::uint8_t output[3];
    EXPECT_FALSE(Lzp2Decode(stream.data(), sourceSize, output, 3));
    EXPECT_TRUE(Lzp2Decode(stream.data(), sourceSize + 2, output, 3));
}

// Every prefix of a valid two-block stream is decoded from its own exact-size copy into an exact-size
// output: a prefix that cuts into the bytes the decoder needs is refused, and none is read past its end.
TEST(Lzp2Decode, TruncatedStreamsAreRefusedWithoutOverreading) {
    Bytes input(kLzp2BlockOutputSize + 700);
    for (std::size_t i = 0; i < input.size(); ++i)
        input[i] = std::uint8_t(i % 32768 < 32700 ? i / 32768 : "the bone of the mesh "[i % 21]);
    const Bytes stream = authoring::Lzp2Encode(input);
    const std::size_t secondStart = (LoadU32(&stream[12]) + 2063) / 2048 * 2048;
    const std::size_t neededBytes = secondStart + 16 + LoadU32(&stream[secondStart + 12]);
    ASSERT_LT(neededBytes, 4096u) << "keep the prefix loop quick";

    const std::unique_ptr<std::uint8_t[]> output(new std::uint8_t[input.size()]);
    for (std::size_t length = 0; length <= neededBytes; ++length) {
        const std::unique_ptr<std::uint8_t[]> source(new std::uint8_t[length]);
        std::memcpy(source.get(), stream.data(), length);
        const bool ok =
            Lzp2Decode(source.get(), std::uint32_t(length), output.get(), std::uint32_t(input.size()));
        ASSERT_EQ(ok, length == neededBytes) << "prefix of " << length << " bytes";
    }
    EXPECT_TRUE(std::equal(input.begin(), input.end(), output.get()));
}

} // namespace
} // namespace tavro
