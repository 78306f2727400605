#include <windows.h>

#include "platform/LockedPages.h"

namespace zorvan::os {

std::size_t PageSize() noexcept {
    static const std::size_t size = [] {
        SYSTEM_INFO info{};
        GetSystemInfo(&info);
        return info.dwPageSize != 0 ? static_cast<std::size_t>(info.dwPageSize) : 4096;
    }();
    return size;
}

void LockPage(const void* page) noexcept {
    // Fails past the working set's minimum size; the memory is then only wiped.
    (void)VirtualLock(const_cast<void*>(page), PageSize());
}

void UnlockPage(const void* page) noexcept {
    (void)VirtualUnlock(const_cast<void*>(page), PageSize());
}

}  // namespace zorvan::os
