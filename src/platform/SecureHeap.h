#pragma once

#include <cstddef>

namespace zorvan {

// Memory for secrets, kept in RAM (out of the swap file) and wiped when freed.
//
// Blocks come from chunks of pages that are mapped and locked once and then
// reused, so that a secret costs no system call in the steady state; blocks of
// more than 16 KiB get pages of their own, unmapped when freed. Locking is best
// effort: past the system's limit for locked memory (RLIMIT_MEMLOCK, the working
// set's minimum on Windows) the memory is still usable, only not locked. Under
// AddressSanitizer, which ignores locking anyway, blocks come from the ordinary
// heap so that overruns are still caught. Safe to call from any thread.
void* SecureAllocate(std::size_t size);
void SecureFree(void* memory, std::size_t size) noexcept;

// Locks the pages under an object that lives as long as the process (a static).
void LockForLife(const void* data, std::size_t size) noexcept;

namespace os {
// One operating-system call each; implemented per platform.
std::size_t PageSize() noexcept;
// Fresh zeroed pages, or nullptr.
void* MapPages(std::size_t size) noexcept;
void UnmapPages(void* pages, std::size_t size) noexcept;
void LockRange(const void* data, std::size_t size) noexcept;
}  // namespace os

}  // namespace zorvan
