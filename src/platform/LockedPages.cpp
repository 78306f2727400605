#include "platform/LockedPages.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace zorvan {

namespace {

// Neither mlock nor VirtualLock counts: one unlock frees the page for every range
// on it, so the counting is done here.
struct PageCounts {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::size_t> counts;
};

PageCounts& Counts() {
    // Never destroyed: secrets held by static objects are freed after every
    // ordinary static is gone.
    static auto* counts = new PageCounts;
    return *counts;
}

template <typename Step>
void ForEachPage(const void* data, std::size_t size, Step step) {
    if (data == nullptr || size == 0) {
        return;
    }
    const std::uintptr_t pageSize = os::PageSize();
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = begin - begin % pageSize;
    for (std::uintptr_t page = first; page < begin + size; page += pageSize) {
        step(page);
    }
}

}  // namespace

void LockPages(const void* data, std::size_t size) noexcept {
    PageCounts& pages = Counts();
    const std::lock_guard hold(pages.mutex);
    ForEachPage(data, size, [&](std::uintptr_t page) {
        try {
            if (pages.counts[page]++ == 0) {
                os::LockPage(reinterpret_cast<const void*>(page));
            }
        } catch (...) {
            // Without memory for the count the page simply stays unlocked.
        }
    });
}

void UnlockPages(const void* data, std::size_t size) noexcept {
    PageCounts& pages = Counts();
    const std::lock_guard hold(pages.mutex);
    ForEachPage(data, size, [&](std::uintptr_t page) {
        const auto found = pages.counts.find(page);
        if (found == pages.counts.end()) {
            return;
        }
        if (--found->second == 0) {
            pages.counts.erase(found);
            os::UnlockPage(reinterpret_cast<const void*>(page));
        }
    });
}

}  // namespace zorvan
