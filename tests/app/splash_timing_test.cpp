#include "app/splash_timing.h"

#include <gtest/gtest.h>

namespace {

// Presses are swallowed for the first half second, then close the splash; the splash closes by
// itself on the first tick from two and a half seconds on.
TEST(SplashTiming, PressesCloseAfterHalfASecondTicksAfterTwoAndAHalf) {
    struct Case {
        std::uint32_t shownAt;
        std::uint32_t now;
        bool closesOnPress;
        bool closesOnTick;
    };
    const Case cases[] = {
        {1000, 1000, false, false},
        {1000, 1499, false, false},
        {1000, 1500, true, false},
        {1000, 3499, true, false},
        {1000, 3500, true, true},
        {1000, 900000, true, true},
        // The tick counter wraps after 49.7 days.
        {0xFFFFFF00u, 0xFFFFFFFFu, false, false},
        {0xFFFFFF00u, 0x000000F3u, false, false},
        {0xFFFFFF00u, 0x000000F4u, true, false},
        {0xFFFFFF00u, 0x000008C3u, true, false},
        {0xFFFFFF00u, 0x000008C4u, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.shownAt << " -> " << c.now);
        EXPECT_EQ(SplashClosesOn(SplashEvent::Press, c.shownAt, c.now), c.closesOnPress);
        EXPECT_EQ(SplashClosesOn(SplashEvent::TimerTick, c.shownAt, c.now), c.closesOnTick);
    }
}

}  // namespace
