// When the splash screen closes: by itself after two and a half seconds, on a click or key
// press only after half a second. Times are 32-bit millisecond tick counts; differences are
// taken modulo 2^32, so a wrap of the tick counter does no harm.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kSplashTimerId = 0;
inline constexpr std::uint32_t kSplashTimerPeriodMs = 100;

// What reaches the splash: a tick of its timer, or a press of a key or mouse button on it
// (releases, moves and everything else never close it).
enum class SplashEvent { TimerTick, Press };

// Whether the splash, shown at tick `shownAt`, closes on `event` at tick `now`. A press that
// does not close it is swallowed.
constexpr bool SplashClosesOn(SplashEvent event, std::uint32_t shownAt, std::uint32_t now) {
    constexpr std::uint32_t kLifetimeMs = 2500;
    constexpr std::uint32_t kInputDelayMs = 500;
    const std::uint32_t elapsed = static_cast<std::uint32_t>(now - shownAt);
    return elapsed >= (event == SplashEvent::TimerTick ? kLifetimeMs : kInputDelayMs);
}
