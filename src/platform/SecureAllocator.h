#pragma once

#include <cstddef>
#include <memory>

#include "platform/LockedPages.h"
#include "platform/SecureWipe.h"

namespace zorvan {

// An allocator for containers of secrets: their memory is locked in RAM while it
// is in use, and wiped before it goes back to the heap, so that neither the swap
// file nor a later allocation sees what it held.
template <typename T>
class SecureAllocator {
public:
    using value_type = T;

    SecureAllocator() noexcept = default;
    template <typename U>
    SecureAllocator(const SecureAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        T* memory = std::allocator<T>().allocate(count);
        LockPages(memory, count * sizeof(T));
        return memory;
    }

    void deallocate(T* memory, std::size_t count) noexcept {
        SecureWipe(memory, count * sizeof(T));
        UnlockPages(memory, count * sizeof(T));
        std::allocator<T>().deallocate(memory, count);
    }

    template <typename U>
    bool operator==(const SecureAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace zorvan
