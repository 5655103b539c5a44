#include "archive/Lzp2.h"

#include <algorithm>
#include <cstring>

namespace tavro {
namespace {

constexpr std::uint32_t kMagic = 0x32505A4C; // "LZP2" read as a little-endian word
constexpr std::uint32_t kHeaderSize = 16;
constexpr std::uint64_t kBlockAlignment = 2048;

std::uint32_t ReadLe32(const std::uint8_t* bytes) {
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

// Runs one block's op stream from in, writing [out, outEnd) exactly. outStart is the first byte of the
// whole output, the lower limit of back references. Every read stays below inEnd.
bool DecodeBlock(const std::uint8_t* in, const std::uint8_t* inEnd, const std::uint8_t* outStart,
                 std::uint8_t* out, std::uint8_t* outEnd) {
    for (;;) {
        if (in == inEnd)
            return false;
        const std::uint32_t op = *in++;
        if (op == 0)
            return out == outEnd;
        if (op < 0x40) {
            if (std::size_t(inEnd - in) < op || std::size_t(outEnd - out) < op)
                return false;
            std::memcpy(out, in, op);
            in += op;
            out += op;
        } else if (op < 0x80) {
            if (inEnd - in < 2)
                return false;
            const std::size_t count = ((op & 0x3F) << 8 | in[0]) + 4;
            if (std::size_t(outEnd - out) < count)
                return false;
            std::memset(out, in[1], count);
            in += 2;
            out += count;
        } else {
            if (in == inEnd)
                return false;
            const std::size_t length = ((op >> 3) & 0x0F) + 3;
            const std::size_t distance = ((op & 0x07) << 8 | in[0]) + 1;
            ++in;
            if (std::size_t(out - outStart) < distance || std::size_t(outEnd - out) < length)
                return false;
            const std::uint8_t* from = out - distance;
            for (std::size_t i = 0; i < length; ++i)
                out[i] = from[i];
            out += length;
        }
    }
}

} // namespace

bool Lzp2Decode(const std::uint8_t* source, std::uint32_t sourceSize, std::uint8_t* output,
                std::uint32_t outputSize) {
    const std::uint64_t blockCount =
        (std::uint64_t(outputSize) + kLzp2BlockOutputSize - 1) / kLzp2BlockOutputSize;
    // 64-bit so that a huge op stream size cannot wrap the chain back onto earlier bytes.
    std::uint64_t blockStart = 0;
    for (std::uint64_t k = 0; k < blockCount; ++k) {
        if (blockStart > sourceSize || sourceSize - blockStart < kHeaderSize)
            return false;
        const std::uint8_t* header = source + blockStart;
        const std::uint32_t opStreamSize = ReadLe32(header + 12);
        if (opStreamSize > 0xFFFFFFFFu - kHeaderSize || ReadLe32(header) != kMagic)
            return false;
        const std::uint64_t blockOutputStart = k * kLzp2BlockOutputSize;
        const std::uint64_t blockOutputSize =
            std::min<std::uint64_t>(outputSize - blockOutputStart, kLzp2BlockOutputSize);
        if (ReadLe32(header + 8) != blockOutputSize)
            return false;
        std::uint8_t* out = output + blockOutputStart;
        if (!DecodeBlock(header + kHeaderSize, source + sourceSize, output, out, out + blockOutputSize))
            return false;
        blockStart +=
            (std::uint64_t(opStreamSize) + kHeaderSize + kBlockAlignment - 1) & ~(kBlockAlignment - 1);
    }
    return true;
}

} // namespace tavro
