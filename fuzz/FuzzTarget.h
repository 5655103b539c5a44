#pragma once
// The two functions every fuzz target provides: the libFuzzer entry point and the seed inputs its
// replayer runs under CTest.
#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Valid inputs made by the authoring writers; the replayer also feeds every truncated prefix.
std::vector<std::vector<std::uint8_t>> FuzzSeeds();
