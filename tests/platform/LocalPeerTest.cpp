#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/socket.h>
#include <unistd.h>
#endif

#include "platform/LocalPeer.h"

namespace zorvan {
namespace {

#ifndef _WIN32
// A peer of another user, on either end, is SingleInstanceTest's: it needs root
// and a real second process.
TEST(LocalPeer, BothEndsOfOneUsersConnectionAreTheSameUser) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    EXPECT_TRUE(PeerIsCurrentUser(ends[0], true));
    EXPECT_TRUE(PeerIsCurrentUser(ends[1], false));
    close(ends[0]);
    close(ends[1]);
    EXPECT_FALSE(PeerIsCurrentUser(-1, true));  // no socket: never the same user
    EXPECT_EQ(CurrentUserId(), std::to_string(getuid()));
}

#else
std::string PipeName() {
    return "\\\\.\\pipe\\zorvan-test-" + std::to_string(GetCurrentProcessId());
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(LocalPeer, TheFirstPipeInstanceKeepsTheNameFromAnyLaterCreator) {
    if (UnderWine()) {
        GTEST_SKIP() << "wine creates a further instance despite FILE_FLAG_FIRST_PIPE_INSTANCE";
    }
    const std::intptr_t first = CreateFirstPipeInstance(PipeName());
    ASSERT_NE(first, -1);
    EXPECT_EQ(CreateFirstPipeInstance(PipeName()), -1);
    ClosePipeInstance(first);
    const std::intptr_t again = CreateFirstPipeInstance(PipeName());
    EXPECT_NE(again, -1);  // a name nobody holds any more is free
    ClosePipeInstance(again);
}

TEST(LocalPeer, BothEndsOfOneUsersPipeAreTheSameUser) {
    EXPECT_EQ(CurrentUserId().rfind("S-1-", 0), 0u) << CurrentUserId();
    const std::string utf8 = PipeName();
    const std::intptr_t server = CreateFirstPipeInstance(utf8);
    ASSERT_NE(server, -1);
    const std::wstring name(utf8.begin(), utf8.end());
    const HANDLE client = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(client, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(PeerIsCurrentUser(reinterpret_cast<std::intptr_t>(client), true));
    EXPECT_TRUE(PeerIsCurrentUser(server, false));
    CloseHandle(client);
    ClosePipeInstance(server);
}
#endif

}  // namespace
}  // namespace zorvan
