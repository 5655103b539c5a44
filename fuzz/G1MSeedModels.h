#pragma once
// Small models from the G1M writer that reach every chunk and sub-chunk reader, shared by the seeds of
// the targets that read models.
#include <cstdint>
#include <vector>

namespace tavro::fuzzing {

// Every table, two vertex buffers of different strides, an odd-length strip with a cut and a bone chain.
std::vector<std::uint8_t> FullSeedModel();
// Chunks in an unusual order: unknown chunks and sub-chunks, repeated kinds, a table before the bones.
std::vector<std::uint8_t> UnusualSeedModel();

} // namespace tavro::fuzzing
