#pragma once
// The LZP2 block decoder: a chain of 2048-aligned blocks, each decoding to at most 512 KiB of output.
#include <cstdint>

namespace tavro {

constexpr std::uint32_t kLzp2BlockOutputSize = 524288;

// The largest output size that any stream of sourceSize bytes decodes to. Every block but the last
// occupies at least 2048 bytes of the source (the chain's alignment), the last at least its 16-byte
// header and its end op, and a block decodes to at most kLzp2BlockOutputSize bytes whatever its ops
// (one that ends early is zero-filled). A declared size beyond this is refused before any buffer is
// sized from it.
constexpr std::uint64_t Lzp2MaxOutputSize(std::uint32_t sourceSize) {
    constexpr std::uint32_t kSmallestBlock = 16 + 1;
    if (sourceSize < kSmallestBlock) {
        return 0;
    }
    return (std::uint64_t{sourceSize - kSmallestBlock} / 2048 + 1) * kLzp2BlockOutputSize;
}

// Decodes the LZP2 stream in source[0, sourceSize) into exactly outputSize bytes at output.
// Returns false for a malformed stream (bad magic, wrong block size field, oversized op stream, a block
// whose ops would write more bytes than its size field) and for any stream that would read past
// sourceSize, write past outputSize or reference bytes before the start of the output. A block whose
// ops end before its size is reached is accepted, and the rest of its region is zero-filled, so the
// output never holds bytes the stream did not define. On false the blocks before the failing one keep
// their decoded bytes. Never allocates; an outputSize of 0 succeeds without reading the source.
bool Lzp2Decode(const std::uint8_t* source, std::uint32_t sourceSize, std::uint8_t* output,
                std::uint32_t outputSize);

} // namespace tavro
