#include "common/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string HexOf(const CSha256::Digest& digest) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : digest) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0f];
    }
    return hex;
}

// Bytes that differ from position to position, so a misplaced byte changes the digest.
std::string Pattern(std::size_t size) {
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i)
        bytes += static_cast<char>((i * 7 + 3) & 0xff);
    return bytes;
}

TEST(Sha256, StandardVectors) {
    struct Case {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        // FIPS 180-2, appendix B.
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        // Lengths around the padding's block boundaries (digests from Python's hashlib).
        {Pattern(55), "e7313d333c272e639f790978283f9eb392e843d0f29b7016828bb1daa4aac70b"},
        {Pattern(56), "4324d65f3c103567f5589c710bc08f8523f929a9272e3af36fc968e52abc6c27"},
        {Pattern(63), "81c80242132f230c3bd41b3e63bbcff16107339549214a99614ff26664625055"},
        {Pattern(64), "39e3d7b6b5d075d37d053ad89b24b41bef4f3c29760c84447cab3f3be1882241"},
        {Pattern(65), "aacca6ff74fdbb296d165a45cecfa04e5127bc008770fbbdd48006f2d2fae95e"},
        {Pattern(119), "9ce7368e4daf32341631b492e80359dc9f594b48453cd0dd5bf0b19279cc177e"},
        {Pattern(120), "7836b787757e95e58b3ca5aec90b1b004e8deba1e50e9675af9cabf1a13a04b5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sha256Hex(c.message), c.digest) << "length " << c.message.size();
    }
}

TEST(Sha256, AnySplitOfTheMessageGivesTheSameDigest) {
    const std::string message = Pattern(300);
    const std::string whole = Sha256Hex(message);
    for (const std::size_t piece : {1u, 3u, 63u, 64u, 65u, 130u}) {
        CSha256 hash;
        for (std::size_t at = 0; at < message.size(); at += piece)
            hash.Update(message.data() + at, std::min(piece, message.size() - at));
        EXPECT_EQ(HexOf(hash.Finish()), whole) << "pieces of " << piece;
    }
}

}  // namespace
