#include "archive/Lzp2.h"

#include "file/LittleEndian.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace tavro {
namespace {

constexpr std::uint32_t kMagic = 0x32505A4C; // "LZP2" read as a little-endian word
constexpr std::uint32_t kHeaderSize = 16;
constexpr std::uint64_t kBlockAlignment = 2048;

// Room that lets an op use fixed-size copies which may run past its own bytes: a literal run reads
// and writes 64 bytes, a back reference writes up to 32 and a short fill 32. Ops closer to the end of
// the source or of the block take the exact, byte-careful path instead.
constexpr std::ptrdiff_t kSourceSlack = 1 + 64;
constexpr std::ptrdiff_t kOutputSlack = 64;
constexpr std::size_t kWideFillMax = 32;

// Copies a back reference of at most 18 bytes with wide moves, writing up to 32 bytes at out. The
// result equals a forward copy of one byte at a time, also when distance < length: each move reads
// only bytes that are final already, and the short distances are first spread into an 8-byte pattern.
void CopyReferenceWide(std::uint8_t* out, std::size_t distance) {
    const std::uint8_t* from = out - distance;
    if (distance >= 16) {
        std::memcpy(out, from, 16);
        std::memcpy(out + 16, from + 16, 16);
    } else if (distance >= 8) {
        std::memcpy(out, from, 8);
        std::memcpy(out + 8, from + 8, 8);
        std::memcpy(out + 16, from + 16, 8);
    } else {
        // After the first eight bytes, from is moved back to a whole number of periods at least 8
        // bytes behind, from where 8-byte moves continue the pattern.
        static constexpr std::uint8_t kStepForward[8] = {0, 1, 2, 1, 0, 4, 4, 4};
        static constexpr std::int8_t kStepBack[8] = {0, 0, 0, -1, -4, 1, 2, 3};
        out[0] = from[0];
        out[1] = from[1];
        out[2] = from[2];
        out[3] = from[3];
        from += kStepForward[distance];
        std::memcpy(out + 4, from, 4);
        from -= kStepBack[distance];
        std::memcpy(out + 8, from, 8);
        std::memcpy(out + 16, from + 8, 8);
    }
}

// Ends a block at its end op. A block may legitimately stop short of its output size; the rest of its
// region is zeroed so that the caller never receives bytes the stream did not define (a fresh extraction
// buffer would otherwise hand out leftover heap contents as entry data).
bool FinishBlock(std::uint8_t* out, std::uint8_t* const outEnd) {
    std::memset(out, 0, std::size_t(outEnd - out));
    return true;
}

// Runs one block's op stream from in, writing exactly [out, outEnd). outStart is the first byte of the
// whole output, the lower limit of back references. No read reaches inEnd and no write reaches outEnd.
bool DecodeBlock(const std::uint8_t* in, const std::uint8_t* const inEnd, const std::uint8_t* const outStart,
                 std::uint8_t* out, std::uint8_t* const outEnd) {
    // Below these limits the slack holds. A limit is set to the starting position when there is no
    // slack at all; since in and out only move forward, the wide path is then never taken.
    const std::uint8_t* const inFastEnd = inEnd - in > kSourceSlack ? inEnd - kSourceSlack : in;
    const std::uint8_t* const outFastEnd = outEnd - out > kOutputSlack ? outEnd - kOutputSlack : out;
    for (;;) {
        // While the slack holds, an op's operands and its literal or reference bytes are in range by
        // construction; only the reference distance and the fill count still need their checks.
        while (in < inFastEnd && out < outFastEnd) {
            const std::uint32_t op = *in++;
            if (op >= 0x80) {
                const std::size_t length = ((op >> 3) & 0x0F) + 3;
                const std::size_t distance = ((op & 0x07) << 8 | *in++) + 1;
                if (distance > std::size_t(out - outStart))
                    return false;
                CopyReferenceWide(out, distance);
                out += length;
            } else if (op >= 0x40) {
                const std::size_t count = ((op & 0x3F) << 8 | in[0]) + 4;
                if (count > std::size_t(outEnd - out))
                    return false;
                if (count <= kWideFillMax) {
                    std::memset(out, in[1], kWideFillMax);
                } else {
                    std::memset(out, in[1], count);
                }
                in += 2;
                out += count;
            } else if (op != 0) {
                std::memcpy(out, in, 16);
                if (op > 16)
                    std::memcpy(out + 16, in + 16, 48);
                in += op;
                out += op;
            } else {
                return FinishBlock(out, outEnd);
            }
        }

        // Near either end: one op with every check and exact-length copies.
        if (in == inEnd)
            return false;
        const std::uint32_t op = *in++;
        if (op >= 0x80) {
            if (in == inEnd)
                return false;
            const std::size_t length = ((op >> 3) & 0x0F) + 3;
            const std::size_t distance = ((op & 0x07) << 8 | *in++) + 1;
            if (distance > std::size_t(out - outStart) || length > std::size_t(outEnd - out))
                return false;
            const std::uint8_t* from = out - distance;
            for (std::size_t i = 0; i < length; ++i)
                out[i] = from[i];
            out += length;
        } else if (op >= 0x40) {
            if (inEnd - in < 2)
                return false;
            const std::size_t count = ((op & 0x3F) << 8 | in[0]) + 4;
            if (count > std::size_t(outEnd - out))
                return false;
            std::memset(out, in[1], count);
            in += 2;
            out += count;
        } else if (op != 0) {
            if (op > std::size_t(inEnd - in) || op > std::size_t(outEnd - out))
                return false;
            std::memcpy(out, in, op);
            in += op;
            out += op;
        } else {
            return FinishBlock(out, outEnd);
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
        const std::uint32_t opStreamSize = LoadU32(header + 12);
        if (opStreamSize > 0xFFFFFFFFu - kHeaderSize || LoadU32(header) != kMagic)
            return false;
        const std::uint64_t blockOutputStart = k * kLzp2BlockOutputSize;
        const std::uint64_t blockOutputSize =
            std::min<std::uint64_t>(outputSize - blockOutputStart, kLzp2BlockOutputSize);
        if (LoadU32(header + 8) != blockOutputSize)
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
