#pragma once
// The entries of the archive targets' seeds: one of each kind the archive writer makes.
#include "authoring/ArchiveWriter.h"

namespace tavro::fuzzing {

// Adds, in order: a stored entry, a compressed text entry, an empty entry, a compressed entry of runs,
// a compressed entry whose stream is damaged, and a short stored entry. (Streams of several blocks are
// the LZP2 target's; here they would only slow every run down.)
bool AddSeedEntries(authoring::CArchiveWriter& writer);

// How many entries AddSeedEntries adds.
constexpr std::uint32_t kSeedEntryCount = 6;

} // namespace tavro::fuzzing
