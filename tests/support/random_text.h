// Seeded random texts for the engine's tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

// `length` letters drawn uniformly from the first `alphabet` capitals, the same for one seed.
inline std::string RandomText(std::size_t length, int alphabet, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::string text(length, 'A');
    for (char& c : text)
        c = static_cast<char>('A' + std::uniform_int_distribution<int>(0, alphabet - 1)(random));
    return text;
}
