#pragma once
// The fixed order in which the viewer shows the archive's models: 332 rows, each naming a texture
// pack entry and a model entry.
#include <array>
#include <cstdint>

namespace tavro {

struct ModelScheduleRow {
    std::uint32_t textureEntry;
    std::uint32_t modelEntry;
};

constexpr std::uint32_t kModelScheduleRowCount = 332;

// The rows, indexed 0 to 331.
const std::array<ModelScheduleRow, kModelScheduleRowCount>& ModelSchedule();

// The row a load uses for a counter value: counter modulo 332.
const ModelScheduleRow& ModelScheduleRowForCounter(std::uint32_t counter);

} // namespace tavro
