#include "results/text_buffer.h"

#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace {
constexpr std::int32_t kInitialCapacity = 10000;
}

CTextBuffer::CTextBuffer()
    : capacity_(kInitialCapacity), used_(0), data_(new char[kInitialCapacity]) {
    data_[0] = '\0';
}

void CTextBuffer::Reset() {
    used_ = 0;
    data_[0] = '\0';
}

void CTextBuffer::Append(const char* bytes, std::int32_t count) {
    if (count <= 0) return;
    // Sizes are worked out in 64 bits: a buffer never grows past what 32 bits can count.
    const std::int64_t shortfall = std::int64_t{used_} + count + 1 - capacity_;
    // The old block lives until the bytes are copied, in case they come from it.
    std::unique_ptr<char[]> old;
    if (shortfall >= 0) {
        const std::int64_t grown = capacity_ + (shortfall > capacity_ ? shortfall : capacity_);
        if (grown > std::numeric_limits<std::int32_t>::max()) throw std::bad_alloc();
        std::unique_ptr<char[]> block(new char[static_cast<std::size_t>(grown)]);
        std::memcpy(block.get(), data_.get(), static_cast<std::size_t>(used_) + 1);
        old = std::exchange(data_, std::move(block));
        capacity_ = static_cast<std::int32_t>(grown);
    }
    std::memcpy(data_.get() + used_, bytes, static_cast<std::size_t>(count));
    used_ += count;
    data_[used_] = '\0';
}

void CTextBuffer::Append(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw std::bad_alloc();
    Append(text.data(), static_cast<std::int32_t>(text.size()));
}

void CTextBuffer::AppendInteger(std::int64_t value) {
    char digits[24];
    int at = sizeof digits;
    // Work with the magnitude as unsigned so that the most negative value is safe too.
    std::uint64_t magnitude =
        value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    do {
        digits[--at] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) digits[--at] = '-';
    Append(digits + at, static_cast<std::int32_t>(sizeof digits - static_cast<std::size_t>(at)));
}
