#include "bench/peak_heap.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

std::atomic<std::int64_t> heapNow{0};
std::atomic<std::int64_t> heapPeak{0};

namespace {

constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block) throw std::bad_alloc();
    std::memcpy(block, &size, sizeof size);
    const std::int64_t now = heapNow += static_cast<std::int64_t>(size);
    std::int64_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
    return block + kHeader;
}

void Release(void* pointer) noexcept {
    if (!pointer) return;
    unsigned char* block = static_cast<unsigned char*>(pointer) - kHeader;
    std::size_t size;
    std::memcpy(&size, block, sizeof size);
    heapNow -= static_cast<std::int64_t>(size);
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* pointer) noexcept {
    Release(pointer);
}
void operator delete[](void* pointer) noexcept {
    Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    Release(pointer);
}
