#pragma once

#include <cstddef>

namespace zorvan {

// Keeps the memory pages under a range in RAM, out of the swap file, for secrets.
// Several ranges may share a page (small heap blocks do): the page stays locked
// until the last range on it is unlocked. Locking is best effort: over the
// system's limit for locked memory the range is still usable, only not locked.
void LockPages(const void* data, std::size_t size) noexcept;
void UnlockPages(const void* data, std::size_t size) noexcept;

namespace os {
// One operating-system call each, on whole pages; implemented per platform.
std::size_t PageSize() noexcept;
void LockPage(const void* page) noexcept;
void UnlockPage(const void* page) noexcept;
}  // namespace os

}  // namespace zorvan
