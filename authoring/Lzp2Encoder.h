#pragma once
// The LZP2 encoder: the inverse of Lzp2Decode, for tests, benchmarks and archive authoring.
#include <cstdint>
#include <span>
#include <vector>

namespace tavro::authoring {

// Encodes input as a chain of LZP2 blocks, each padded to a multiple of 2048 bytes, such that
// Lzp2Decode(result, input.size()) reproduces input exactly.
std::vector<std::uint8_t> Lzp2Encode(std::span<const std::uint8_t> input);

} // namespace tavro::authoring
