// Seeds for the G1M fuzz target: small models that reach every chunk and sub-chunk reader.
#include "fuzz/FuzzTarget.h"
#include "fuzz/G1MSeedModels.h"

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
    return {tavro::fuzzing::FullSeedModel(), tavro::fuzzing::UnusualSeedModel()};
}
