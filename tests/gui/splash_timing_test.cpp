#include "app/splash_timing.h"

#include <gtest/gtest.h>

namespace {

TEST(SplashTiming, InputAfterHalfASecondAndTimeUpAfterTwoAndAHalf) {
    struct Case {
        std::uint32_t start;
        std::uint32_t now;
        bool acceptsInput;
        bool timeIsUp;
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
        {0xFFFFFF00u, 0x000000F4u, true, false},
        {0xFFFFFF00u, 0x000000F3u, false, false},
        {0xFFFFFF00u, 0x000008C4u, true, true},
        {0xFFFFFF00u, 0x000008C3u, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " -> " << c.now);
        EXPECT_EQ(SplashAcceptsInput(c.start, c.now), c.acceptsInput);
        EXPECT_EQ(SplashTimeIsUp(c.start, c.now), c.timeIsUp);
    }
}

TEST(SplashTiming, OnlyPressesCloseTheSplash) {
    // Presses of keys and mouse buttons, on the client and the non-client area.
    for (unsigned message : {0x100u, 0x104u, 0x201u, 0x204u, 0x207u, 0xA1u, 0xA4u, 0xA7u}) {
        EXPECT_TRUE(IsSplashClosingInput(message)) << message;
    }
    // Releases, double clicks, moves, characters, timers, painting.
    for (unsigned message : {0x101u, 0x105u, 0x202u, 0x203u, 0x205u, 0x208u, 0x200u, 0xA0u, 0xA2u,
                             0x102u, 0x113u, 0x0Fu, 0x20Au}) {
        EXPECT_FALSE(IsSplashClosingInput(message)) << message;
    }
}

}  // namespace
