#include <sys/mman.h>
#include <unistd.h>

#include "platform/LockedPages.h"

namespace zorvan::os {

std::size_t PageSize() noexcept {
    static const long size = sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::size_t>(size) : 4096;
}

void LockPage(const void* page) noexcept {
    // Fails past RLIMIT_MEMLOCK; the memory is then only wiped, not locked.
    (void)mlock(page, PageSize());
}

void UnlockPage(const void* page) noexcept {
    (void)munlock(page, PageSize());
}

}  // namespace zorvan::os
