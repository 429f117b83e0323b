#include "common/shuffles.h"

#include <array>
#include <cstring>
#include <numeric>
#include <utility>

namespace {

void Prefetch(const char* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address, 1);
#else
    (void)address;
#endif
}

}  // namespace

void ShuffleLetters(std::string& letters, CXoshiro256StarStar& generator) {
    // Plain Fisher-Yates, except that the partners are drawn a few steps ahead and their letters
    // fetched into the cache meanwhile: the draws and the swaps are the same, in the same order,
    // but a long text no longer waits on memory at every swap.
    constexpr std::size_t kAhead = 16;
    std::array<std::uint32_t, kAhead> partners{};
    std::size_t drawn = letters.size();  // the next step to draw a partner for
    auto drawAhead = [&] {
        // Texts are shorter than 2^31 letters, so every bound fits the 32-bit draw.
        const std::uint32_t j = UniformBelow(generator, static_cast<std::uint32_t>(drawn));
        Prefetch(letters.data() + j);
        partners[drawn % kAhead] = j;
        --drawn;
    };
    while (drawn > 1 && drawn + kAhead > letters.size())
        drawAhead();
    for (std::size_t i = letters.size(); i > 1; --i) {
        std::swap(letters[i - 1], letters[partners[i % kAhead]]);
        if (drawn > 1) drawAhead();
    }
}

CWordShuffler::CWordShuffler(const std::string& text, const std::vector<std::int32_t>& wordLengths)
    : text_(text), lengths_(wordLengths) {
    starts_.reserve(lengths_.size());
    std::int32_t start = 0;
    for (const std::int32_t length : lengths_) {
        starts_.push_back(start);
        start += length;
    }
    // Lengths that fall short of the text (none given, say) leave the rest as one more word, so
    // that every control text is the whole text in some order.
    const auto textLength = static_cast<std::int32_t>(text_.size());
    if (start < textLength) {
        starts_.push_back(start);
        lengths_.push_back(textLength - start);
    }
}

void CWordShuffler::Shuffle(CXoshiro256StarStar& generator, std::vector<std::int32_t>& order,
                            std::string& out) const {
    // The shuffle starts from the document's order every time, so a control's text depends on
    // its generator alone, not on what the buffer held before.
    order.resize(lengths_.size());
    std::iota(order.begin(), order.end(), 0);
    for (std::size_t i = order.size(); i > 1; --i) {
        const std::uint32_t j = UniformBelow(generator, static_cast<std::uint32_t>(i));
        std::swap(order[i - 1], order[j]);
    }
    out.resize(text_.size());
    std::size_t at = 0;
    for (const std::int32_t word : order) {
        const auto length = static_cast<std::size_t>(lengths_[word]);
        std::memcpy(out.data() + at, text_.data() + starts_[word], length);
        at += length;
    }
}
