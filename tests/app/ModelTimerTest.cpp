// The load interval; that a failed load stops the timer for good shows in tests/app/ModelCyclerTest.cpp
// (a missing archive is tried once more, then never).
#include "app/ModelTimer.h"

#include "platform/headless/HeadlessPlatform.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

// Runs one idle pass at the given tick and reports whether it tried a load.
class ModelTimerTest : public ::testing::Test {
protected:
    bool IdleAt(std::uint32_t tick) {
        platform.SetTick(tick);
        return timer.OnIdle(platform, [this] {
            ++loads;
            return true;
        });
    }

    platform::CHeadlessPlatform platform;
    CModelTimer timer;
    int loads = 0;
};

TEST_F(ModelTimerTest, ExpiresAfterMoreThan4000MsFromTheFirstIdlePass) {
    EXPECT_FALSE(IdleAt(50000)); // first pass: sets the mark
    EXPECT_FALSE(IdleAt(54000)); // exactly 4000: not yet
    EXPECT_TRUE(IdleAt(54001));
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(IdleAt(58001)); // the mark moved to 54001
    EXPECT_TRUE(IdleAt(58002));
    EXPECT_EQ(loads, 2);
}

TEST_F(ModelTimerTest, TickWrapAroundIsHarmless) {
    IdleAt(0xFFFFF800u);               // the mark: 2048 ms before the counter wraps
    EXPECT_FALSE(IdleAt(0x00000000u)); // 2048 ms
    EXPECT_FALSE(IdleAt(0x00000760u)); // 3936 ms
    EXPECT_TRUE(IdleAt(0x000007A1u));  // 4001 ms
    EXPECT_EQ(loads, 1);
}

} // namespace
} // namespace tavro
