#include <windows.h>

#include "platform/SecureHeap.h"

namespace zorvan::os {

std::size_t PageSize() noexcept {
    static const std::size_t size = [] {
        SYSTEM_INFO info{};
        GetSystemInfo(&info);
        return info.dwPageSize != 0 ? static_cast<std::size_t>(info.dwPageSize) : 4096;
    }();
    return size;
}

void* MapPages(std::size_t size) noexcept {
    return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void UnmapPages(void* pages, std::size_t /*size*/) noexcept {
    VirtualFree(pages, 0, MEM_RELEASE);  // the lock goes with the pages
}

void LockRange(const void* data, std::size_t size) noexcept {
    // Fails past the working set's minimum size; the memory is then only wiped.
    (void)VirtualLock(const_cast<void*>(data), size);
}

}  // namespace zorvan::os
