#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "support/TempDir.h"
#endif

#include "platform/LocalPeer.h"

namespace zorvan {
namespace {

#ifndef _WIN32
constexpr uid_t kNobody = 65534;

sockaddr_un AddressOf(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

int ListenAt(const std::filesystem::path& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = AddressOf(path);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 4) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int ConnectTo(const std::filesystem::path& path) {
    const sockaddr_un address = AddressOf(path);
    // The other end may still be on its way to listen.
    for (int attempt = 0; attempt < 500; ++attempt) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            return fd;
        }
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

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

// A child process that becomes another user connects (or listens, and this end
// connects); the end in this process must see a stranger either way.
TEST(LocalPeer, APeerOfAnotherUserIsRecognisedOnEitherEnd) {
    if (getuid() != 0) {
        GTEST_SKIP() << "needs root to run a process as another user";
    }
    for (const bool peerIsServer : {false, true}) {
        test::TempDir dir;
        ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
        const auto path = dir / "peer";
        int listener = -1;
        if (!peerIsServer) {
            listener = ListenAt(path);
            ASSERT_GE(listener, 0);
            ASSERT_EQ(chmod(path.c_str(), 0777), 0);
        }
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The kernel records the credentials at connect() or listen(), so the
            // user changes before either.
            int fd = -1;
            if (peerIsServer) {
                fd = socket(AF_UNIX, SOCK_STREAM, 0);
                const sockaddr_un address = AddressOf(path);
                if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
                    _exit(2);
                }
            }
            if (setgid(kNobody) != 0 || setuid(kNobody) != 0) {
                _exit(3);
            }
            if (peerIsServer) {
                listen(fd, 1);
                const int accepted = accept(fd, nullptr, nullptr);
                char byte = 0;
                (void)!read(accepted, &byte, 1);  // until the other end closes
            } else {
                fd = ConnectTo(path);
                char byte = 0;
                (void)!read(fd, &byte, 1);
            }
            _exit(0);
        }
        const int fd = peerIsServer ? ConnectTo(path) : accept(listener, nullptr, nullptr);
        ASSERT_GE(fd, 0);
        EXPECT_FALSE(PeerIsCurrentUser(fd, peerIsServer)) << peerIsServer;
        close(fd);
        if (listener >= 0) {
            close(listener);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
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
