// When the splash screen closes: by itself after two and a half seconds, on a click or key
// press only after half a second. Times are 32-bit millisecond tick counts; differences are
// taken modulo 2^32, so a wrap of the tick counter does no harm.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kSplashTimerId = 0;
inline constexpr std::uint32_t kSplashTimerPeriodMs = 100;
inline constexpr std::uint32_t kSplashLifetimeMs = 2500;
inline constexpr std::uint32_t kSplashInputDelayMs = 500;

constexpr std::uint32_t TicksSince(std::uint32_t start, std::uint32_t now) {
    return static_cast<std::uint32_t>(now - start);
}

// A tick of the splash timer ends the splash from this moment on.
constexpr bool SplashTimeIsUp(std::uint32_t start, std::uint32_t now) {
    return TicksSince(start, now) >= kSplashLifetimeMs;
}

// A click or key press ends the splash from this moment on (earlier it is swallowed).
constexpr bool SplashAcceptsInput(std::uint32_t start, std::uint32_t now) {
    return TicksSince(start, now) >= kSplashInputDelayMs;
}

// The input that closes the splash: key and system-key presses, and presses of the left,
// right and middle mouse buttons on the client and the non-client area. Releases, moves and
// everything else do not count.
constexpr bool IsSplashClosingInput(unsigned message) {
    switch (message) {
        case 0x0100:  // WM_KEYDOWN
        case 0x0104:  // WM_SYSKEYDOWN
        case 0x0201:  // WM_LBUTTONDOWN
        case 0x0204:  // WM_RBUTTONDOWN
        case 0x0207:  // WM_MBUTTONDOWN
        case 0x00A1:  // WM_NCLBUTTONDOWN
        case 0x00A4:  // WM_NCRBUTTONDOWN
        case 0x00A7:  // WM_NCMBUTTONDOWN
            return true;
        default:
            return false;
    }
}
