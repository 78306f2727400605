#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "platform/LockedPages.h"
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

TEST(SecureBytes, ItsPagesAreLockedWhileItLives) {
    const long before = LockedKb();
    ASSERT_GE(before, 0);
    {
        SecureBytes secret(256 * 1024);
        EXPECT_GE(LockedKb() - before, 256);
    }
    EXPECT_EQ(LockedKb(), before);
}

TEST(LockedPages, APageStaysLockedUntilTheLastRangeOnItIsUnlocked) {
    const std::size_t page = os::PageSize();
    auto* memory = static_cast<unsigned char*>(std::aligned_alloc(page, page));
    ASSERT_NE(memory, nullptr);
    const long before = LockedKb();
    LockPages(memory, 16);
    LockPages(memory + page / 2, 16);
    const long locked = LockedKb();
    EXPECT_EQ(locked - before, static_cast<long>(page / 1024));
    UnlockPages(memory, 16);
    EXPECT_EQ(LockedKb(), locked);  // the other range still needs it
    UnlockPages(memory + page / 2, 16);
    EXPECT_EQ(LockedKb(), before);
    std::free(memory);
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
