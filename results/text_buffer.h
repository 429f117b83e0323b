// A growable, zero-terminated byte buffer that keeps its allocation across resets, so that the
// markup of one find after another is assembled without allocating.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

class CTextBuffer {
  public:
    // 10000 bytes to start with, holding the empty string.
    CTextBuffer();
    CTextBuffer(const CTextBuffer&) = delete;  // owns its block
    CTextBuffer& operator=(const CTextBuffer&) = delete;

    // Empties the text; the allocation stays.
    void Reset();

    // Appends `count` bytes. When they do not fit (with the terminating zero) the capacity grows
    // by the shortfall or by itself, whichever is larger, so it at least doubles. Throws
    // std::bad_alloc when no block of the new size can be had.
    void Append(const char* bytes, std::int32_t count);
    void Append(std::string_view text);

    // Appends `value` in decimal: a minus sign when negative, no padding.
    void AppendInteger(std::int64_t value);

    const char* Data() const { return data_.get(); }  // always zero-terminated
    std::int32_t Used() const { return used_; }       // bytes before the terminating zero
    std::int32_t Capacity() const { return capacity_; }
    std::string_view View() const { return {data_.get(), static_cast<std::size_t>(used_)}; }

  private:
    std::int32_t capacity_;
    std::int32_t used_;
    std::unique_ptr<char[]> data_;
};
