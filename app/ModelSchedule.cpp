#include "app/ModelSchedule.h"

namespace tavro {
namespace {

// Rows name the first two entries of groups of four starting at 4·k + 1. Six groups are skipped after
// row 127 and one after row 330; rows 202 and 296 pair other textures with model entry 326.
constexpr ModelScheduleRow BuildRow(std::uint32_t row) {
    if (row <= 127) {
        return {97 + 4 * row, 98 + 4 * row};
    }
    if (row == 202) {
        return {929, 326};
    }
    if (row == 296) {
        return {1305, 326};
    }
    if (row == 331) {
        return {1449, 1450};
    }
    return {121 + 4 * row, 122 + 4 * row};
}

constexpr std::array<ModelScheduleRow, kModelScheduleRowCount> BuildSchedule() {
    std::array<ModelScheduleRow, kModelScheduleRowCount> rows{};
    for (std::uint32_t row = 0; row < kModelScheduleRowCount; ++row) {
        rows[row] = BuildRow(row);
    }
    return rows;
}

constexpr std::array<ModelScheduleRow, kModelScheduleRowCount> kSchedule = BuildSchedule();

} // namespace

const std::array<ModelScheduleRow, kModelScheduleRowCount>& ModelSchedule() {
    return kSchedule;
}

const ModelScheduleRow& ModelScheduleRowForCounter(std::uint32_t counter) {
    return kSchedule[counter % kModelScheduleRowCount];
}

} // namespace tavro
