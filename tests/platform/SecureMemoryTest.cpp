#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/SecureBytes.h"
#include "platform/SecureWipe.h"

namespace zorvan {
namespace {

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
// The process's locked memory in kB, as the kernel counts it.
long LockedKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmLck:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// Whether the mapping that holds an address is locked (/proc/self/smaps).
bool IsLocked(const void* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream maps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(maps, line)) {
        // A mapping's first line starts with its range ("7f00-7f10 rw-p ..."),
        // the lines of its figures with a name ("Locked:   8 kB").
        std::uintptr_t begin = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream fields(line);
        if (fields >> std::hex >> begin >> dash >> end && dash == '-') {
            inside = begin <= at && at < end;
        } else if (inside && line.rfind("Locked:", 0) == 0) {
            return std::strtol(line.c_str() + 7, nullptr, 10) > 0;
        }
    }
    return false;
}

TEST(SecureBytes, EverySizeLiesInLockedMemory) {
    for (const std::size_t size : {1, 100, 5000, 16 * 1024, 300 * 1024}) {
        SecureBytes secret(size);
        EXPECT_TRUE(IsLocked(secret.data())) << size;
        EXPECT_TRUE(IsLocked(secret.data() + size - 1)) << size;
    }
}

TEST(SecureBytes, LargeOnesGiveTheirLockedPagesBack) {
    const long before = LockedKb();
    ASSERT_GE(before, 0);
    {
        SecureBytes secret(256 * 1024);
        EXPECT_GE(LockedKb() - before, 256);
    }
    EXPECT_EQ(LockedKb(), before);
}

TEST(SecureBytes, SmallOnesReuseLockedMemoryInsteadOfLockingMore) {
    { SecureBytes warm(100); }
    const long before = LockedKb();
    for (int i = 0; i < 10000; ++i) {
        SecureBytes secret(100);
    }
    EXPECT_EQ(LockedKb(), before);
}
#endif

TEST(SecureWipe, WipingAStringClearsItsWholeCapacity) {
    // A string that shrank keeps its old characters past its end.
    for (const std::size_t length : {std::size_t{8}, std::size_t{200}}) {
        std::string text(length, 'x');
        text.resize(3);
        const char* buffer = text.data();
        const std::size_t capacity = text.capacity();
        ASSERT_GE(capacity, length);
        SecureWipe(text);
        EXPECT_TRUE(text.empty());
        ASSERT_EQ(text.data(), buffer);  // still the same buffer, now all zeros
        EXPECT_TRUE(std::all_of(buffer, buffer + capacity, [](char c) { return c == 0; }))
            << length;
    }
}

}  // namespace
}  // namespace zorvan
