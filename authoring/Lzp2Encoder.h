#pragma once
// The LZP2 encoder: the inverse of Lzp2Decode, for tests, benchmarks and archive authoring.
#include <cstdint>
#include <span>
#include <vector>

namespace tavro::authoring {

// Encodes input as a chain of LZP2 blocks, each padded with zeros to a multiple of 2048 bytes, such
// that Lzp2Decode(result, input.size()) reproduces input exactly. Each block's second header word is
// 0 and its op stream size counts the end op. The same input always gives the same bytes; an empty
// input gives an empty result.
std::vector<std::uint8_t> Lzp2Encode(std::span<const std::uint8_t> input);

} // namespace tavro::authoring
