// Every transform mode, with a working and a failing transform, over an archive holding every kind of
// entry.
#include "archive/BinArchive.h"
#include "fuzz/ArchivePair.h"
#include "fuzz/ArchiveSeedEntries.h"
#include "fuzz/FuzzTarget.h"

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
    using namespace tavro;
    const fuzzing::ArchiveBytes archive =
        fuzzing::WriteArchiveBytes(fuzzing::AddSeedEntries, kOrochizIndexSizes[1].indexSize);
    std::vector<std::vector<std::uint8_t>> seeds;
    for (std::uint8_t flags = 0; flags < 16; ++flags) {
        if ((flags & 7) >= 5) {
            continue;
        }
        std::vector<std::uint8_t> seed{flags, fuzzing::kSeedEntryCount};
        seed.insert(seed.end(), archive.index.begin(),
                    archive.index.begin() + fuzzing::kSeedEntryCount * kIndexRecordSize);
        seed.insert(seed.end(), archive.data.begin(), archive.data.end());
        seeds.push_back(std::move(seed));
    }
    return seeds;
}
