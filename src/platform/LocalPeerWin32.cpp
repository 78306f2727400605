#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include <memory>
#include <vector>

#include "platform/LocalPeer.h"

namespace zorvan {

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The TOKEN_USER of a process, in a buffer of its own; empty when it cannot be read.
std::vector<unsigned char> TokenUserOf(HANDLE process) {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &raw)) {
        return {};
    }
    const UniqueHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) {
        return {};
    }
    std::vector<unsigned char> buffer(size);
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
        return {};
    }
    return buffer;
}

PSID SidOf(std::vector<unsigned char>& tokenUser) {
    return reinterpret_cast<TOKEN_USER*>(tokenUser.data())->User.Sid;
}

std::wstring ToWide(const std::string& utf8) {
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                            units);
    }
    return wide;
}

std::string ToUtf8(const wchar_t* wide) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) {
        return {};
    }
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), bytes, nullptr, nullptr);
    utf8.pop_back();  // the terminating zero
    return utf8;
}

}  // namespace

std::string CurrentUserId() {
    auto tokenUser = TokenUserOf(GetCurrentProcess());
    if (tokenUser.empty()) {
        return {};
    }
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(SidOf(tokenUser), &text)) {
        return {};
    }
    std::string id = ToUtf8(text);
    LocalFree(text);
    return id;
}

bool PeerIsCurrentUser(std::intptr_t handle, bool peerIsServer) {
    const auto pipe = reinterpret_cast<HANDLE>(handle);
    ULONG peerId = 0;
    const BOOL known = peerIsServer ? GetNamedPipeServerProcessId(pipe, &peerId)
                                    : GetNamedPipeClientProcessId(pipe, &peerId);
    if (!known || peerId == 0) {
        return false;
    }
    const UniqueHandle peer(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, peerId));
    if (!peer) {
        // A process of another user is usually not even open to this one.
        return false;
    }
    auto peerUser = TokenUserOf(peer.get());
    auto ownUser = TokenUserOf(GetCurrentProcess());
    return !peerUser.empty() && !ownUser.empty() && EqualSid(SidOf(peerUser), SidOf(ownUser));
}

std::intptr_t CreateFirstPipeInstance(const std::string& utf8Name) {
    const std::string user = CurrentUserId();
    if (user.empty()) {
        return -1;
    }
    // Protected: nothing inherited; full access for this user alone.
    const std::wstring sddl = L"D:P(A;;GA;;;" + ToWide(user) + L")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
        return -1;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const HANDLE pipe = CreateNamedPipeW(
        ToWide(utf8Name).c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
        PIPE_UNLIMITED_INSTANCES, 0, 0, 0, &attributes);
    LocalFree(descriptor);
    if (pipe == INVALID_HANDLE_VALUE) {
        return -1;
    }
    return reinterpret_cast<std::intptr_t>(pipe);
}

void ClosePipeInstance(std::intptr_t handle) {
    if (handle != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(handle));
    }
}

}  // namespace zorvan
