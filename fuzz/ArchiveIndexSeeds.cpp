// One archive per known index size of either reader, each holding every kind of entry, and one index
// of an unknown size.
#include "archive/BinArchive.h"
#include "fuzz/ArchivePair.h"
#include "fuzz/ArchiveSeedEntries.h"
#include "fuzz/FuzzTarget.h"

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
    using namespace tavro;
    std::vector<std::vector<std::uint8_t>> seeds;
    std::uint8_t selector = 0;
    for (const auto& table : {kSm5IndexSizes, kOrochizIndexSizes}) {
        for (const KnownIndexSize& known : table) {
            seeds.push_back(fuzzing::IndexTargetInput(
                selector++, fuzzing::WriteArchiveBytes(fuzzing::AddSeedEntries, known.indexSize)));
        }
    }
    seeds.push_back(fuzzing::IndexTargetInput(
        selector,
        fuzzing::WriteArchiveBytes(fuzzing::AddSeedEntries, fuzzing::kSeedEntryCount * kIndexRecordSize)));
    return seeds;
}
