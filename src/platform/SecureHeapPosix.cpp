#include <sys/mman.h>
#include <unistd.h>

#include "platform/SecureHeap.h"

namespace zorvan::os {

std::size_t PageSize() noexcept {
    static const long size = sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::size_t>(size) : 4096;
}

void* MapPages(std::size_t size) noexcept {
    void* pages = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) {
        return nullptr;
    }
#ifdef MADV_DONTDUMP
    // Not in a core file either, should one be written after all.
    (void)madvise(pages, size, MADV_DONTDUMP);
#endif
    return pages;
}

void UnmapPages(void* pages, std::size_t size) noexcept {
    (void)munmap(pages, size);  // the lock goes with the mapping
}

void LockRange(const void* data, std::size_t size) noexcept {
    // Fails past RLIMIT_MEMLOCK; the memory is then only wiped, not locked.
    (void)mlock(data, size);
}

}  // namespace zorvan::os
