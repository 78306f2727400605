#pragma once

#include <cstddef>

#include "platform/SecureHeap.h"

namespace zorvan {

// An allocator for containers of secrets: their memory comes from the locked
// heap (SecureHeap) and is wiped before it is reused.
template <typename T>
class SecureAllocator {
public:
    using value_type = T;

    SecureAllocator() noexcept = default;
    template <typename U>
    SecureAllocator(const SecureAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) { return static_cast<T*>(SecureAllocate(count * sizeof(T))); }
    void deallocate(T* memory, std::size_t count) noexcept {
        SecureFree(memory, count * sizeof(T));
    }

    template <typename U>
    bool operator==(const SecureAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace zorvan
