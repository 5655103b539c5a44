#include "app/ModelSchedule.h"

#include <gtest/gtest.h>

#include <set>

namespace tavro {
namespace {

TEST(ModelSchedule, TellingRows) {
    struct Case {
        std::uint32_t row, texture, model;
    };
    const Case cases[] = {
        {0, 97, 98},      {1, 101, 102},     {57, 325, 326},    {127, 605, 606},
        {128, 633, 634},  {201, 925, 926},   {202, 929, 326},   {203, 933, 934},
        {296, 1305, 326}, {330, 1441, 1442}, {331, 1449, 1450},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(ModelSchedule()[c.row].textureEntry, c.texture);
        EXPECT_EQ(ModelSchedule()[c.row].modelEntry, c.model);
    }
}

TEST(ModelSchedule, RowsAreGroupsOfFourExceptTheSharedModel) {
    std::set<std::uint32_t> groups;
    int uses326 = 0;
    for (std::uint32_t row = 0; row < kModelScheduleRowCount; ++row) {
        const ModelScheduleRow& entry = ModelSchedule()[row];
        SCOPED_TRACE(row);
        EXPECT_GE(entry.textureEntry, 97u);
        uses326 += entry.modelEntry == 326;
        if (row == 202 || row == 296) {
            continue;
        }
        EXPECT_EQ(entry.textureEntry % 4, 1u);
        EXPECT_EQ(entry.modelEntry, entry.textureEntry + 1);
        EXPECT_TRUE(groups.insert(entry.textureEntry).second) << "group used twice";
        // Skipped groups: 609..632 and 1445..1448.
        EXPECT_FALSE(entry.textureEntry >= 609 && entry.textureEntry <= 632);
        EXPECT_NE(entry.textureEntry, 1445u);
    }
    EXPECT_EQ(uses326, 3);
}

TEST(ModelSchedule, CounterWrapsAtRowCount) {
    EXPECT_EQ(ModelScheduleRowForCounter(331).modelEntry, 1450u);
    EXPECT_EQ(ModelScheduleRowForCounter(332).modelEntry, 98u);
    EXPECT_EQ(ModelScheduleRowForCounter(332 + 202).textureEntry, 929u);
    // The counter is unsigned 32-bit: its last value still picks a valid row (4294967295 mod 332 = 159).
    EXPECT_EQ(ModelScheduleRowForCounter(0xFFFFFFFFu).textureEntry, 121u + 4 * 159);
}

} // namespace
} // namespace tavro
