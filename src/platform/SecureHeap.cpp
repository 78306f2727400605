#include "platform/SecureHeap.h"

#include <array>
#include <mutex>
#include <new>

#include "platform/SecureWipe.h"

namespace zorvan {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOrdinaryHeap = true;
#else
constexpr bool kOrdinaryHeap = false;
#endif

// Size classes of 16 bytes to 16 KiB, each twice the one before.
constexpr std::size_t kSmallest = 16;
constexpr std::size_t kClasses = 11;
constexpr std::size_t kLargest = kSmallest << (kClasses - 1);
constexpr std::size_t kChunk = 64 * 1024;

struct FreeBlock {
    FreeBlock* next;
};

struct Heap {
    std::mutex mutex;
    std::array<FreeBlock*, kClasses> free{};
    unsigned char* unused = nullptr;  // the current chunk's part not yet handed out
    std::size_t unusedSize = 0;
};

Heap& TheHeap() {
    // Never destroyed: secrets held by statics are freed after every ordinary
    // static is gone.
    static auto* heap = new Heap;
    return *heap;
}

std::size_t ClassOf(std::size_t size) {
    std::size_t index = 0;
    while ((kSmallest << index) < size) {
        ++index;
    }
    return index;
}

std::size_t WholePages(std::size_t size) {
    const std::size_t page = os::PageSize();
    return (size + page - 1) / page * page;
}

void* MapLocked(std::size_t size) {
    void* pages = os::MapPages(size);
    if (pages == nullptr) {
        throw std::bad_alloc();
    }
    os::LockRange(pages, size);
    return pages;
}

}  // namespace

void* SecureAllocate(std::size_t size) {
    if (size == 0) {
        size = 1;
    }
    if constexpr (kOrdinaryHeap) {
        return ::operator new(size);
    }
    if (size > kLargest) {
        return MapLocked(WholePages(size));
    }
    const std::size_t index = ClassOf(size);
    const std::size_t blockSize = kSmallest << index;
    Heap& heap = TheHeap();
    const std::lock_guard hold(heap.mutex);
    if (FreeBlock* block = heap.free[index]) {
        heap.free[index] = block->next;
        block->next = nullptr;
        return block;
    }
    if (heap.unusedSize < blockSize) {
        // What is left of the old chunk stays unused.
        heap.unused = static_cast<unsigned char*>(MapLocked(kChunk));
        heap.unusedSize = kChunk;
    }
    void* block = heap.unused;
    heap.unused += blockSize;
    heap.unusedSize -= blockSize;
    return block;
}

void SecureFree(void* memory, std::size_t size) noexcept {
    if (memory == nullptr) {
        return;
    }
    if (size == 0) {
        size = 1;
    }
    SecureWipe(memory, size);
    if constexpr (kOrdinaryHeap) {
        ::operator delete(memory);
        return;
    }
    if (size > kLargest) {
        os::UnmapPages(memory, WholePages(size));
        return;
    }
    const std::size_t index = ClassOf(size);
    Heap& heap = TheHeap();
    const std::lock_guard hold(heap.mutex);
    auto* block = static_cast<FreeBlock*>(memory);
    block->next = heap.free[index];
    heap.free[index] = block;
}

void LockForLife(const void* data, std::size_t size) noexcept {
    os::LockRange(data, size);
}

}  // namespace zorvan
