#pragma once
// The entries of the archive targets' seeds: one of each kind the archive writer makes.
#include "authoring/ArchiveWriter.h"

namespace tavro::fuzzing {

// Adds, in order: a stored entry, a compressed text entry, an empty entry, a compressed entry of two
// LZP2 blocks, a compressed entry whose stream is damaged, and a short stored entry.
bool AddSeedEntries(authoring::CArchiveWriter& writer);

// How many entries AddSeedEntries adds.
constexpr std::uint32_t kSeedEntryCount = 6;

} // namespace tavro::fuzzing
