#pragma once
// What an archive pair can hold: every size in the index is 32 bits, and so is the running offset at
// which each entry starts in the data file.
#include "archive/BinArchive.h"

#include <cstdint>

namespace tavro::tools {

// Bytes an entry of storedSize occupies in the data file, padding included.
constexpr std::uint64_t PaddedEntrySize(std::uint64_t storedSize) {
    return (storedSize + kEntryAlignment - 1) / kEntryAlignment * kEntryAlignment;
}

// The largest data file whose every entry offset fits in 32 bits.
constexpr std::uint64_t kMaxDataFileSize = 0x100000000ull - kEntryAlignment;

} // namespace tavro::tools
