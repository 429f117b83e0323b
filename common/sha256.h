// SHA-256 (FIPS 180-4): the fingerprint that tells whether shards were run on the same document.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CSha256 {
  public:
    using Digest = std::array<std::uint8_t, 32>;

    CSha256();

    // Adds bytes to the message; may be called any number of times before Finish.
    void Update(const void* data, std::size_t size);
    // Pads the message and returns its digest. The object must not be used afterwards.
    Digest Finish();

  private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> block_{};
    std::size_t blockUsed_ = 0;
    std::uint64_t totalBytes_ = 0;
};

// The digest of `bytes` as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);
