#include <windows.h>

#include <aclapi.h>

#include <vector>

#include "platform/ProcessHardening.h"

namespace zorvan {

namespace {

// What other processes of the same user may still do: wait for us, ask for our
// name and exit code, and end us (as the task manager does).
constexpr DWORD kAllowedAccess =
    SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE;

// What reaches into the process: its memory, its threads and handles, and the
// rights themselves. Denied outright, although the allowed rights above leave
// them out anyway, so that the intent stands in the list itself.
constexpr DWORD kDeniedAccess = PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_VM_OPERATION |
                                PROCESS_CREATE_THREAD | PROCESS_DUP_HANDLE | WRITE_DAC |
                                WRITE_OWNER;

// The SID of the user this process runs as, or empty.
std::vector<BYTE> CurrentUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> info(size);
    std::vector<BYTE> sid;
    if (size > 0 && GetTokenInformation(token, TokenUser, info.data(), size, &size)) {
        const PSID user = reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid;
        const BYTE* bytes = static_cast<const BYTE*>(user);
        sid.assign(bytes, bytes + GetLengthSid(user));
    }
    CloseHandle(token);
    return sid;
}

// Replaces the process's access list: the user is denied what reaches into the
// process and allowed only kAllowedAccess. The owner's implicit right to read
// and rewrite the list is cut down to the same by an entry for "OWNER RIGHTS",
// so another process of the user cannot simply put the old list back.
bool RestrictProcessDacl() {
    std::vector<BYTE> user = CurrentUserSid();
    BYTE ownerRights[SECURITY_MAX_SID_SIZE] = {};
    DWORD ownerRightsSize = sizeof ownerRights;
    if (user.empty() ||
        !CreateWellKnownSid(WinCreatorOwnerRightsSid, nullptr, ownerRights, &ownerRightsSize)) {
        return false;
    }
    const DWORD aceHeader = sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD);
    const DWORD size = sizeof(ACL) + 2 * (aceHeader + static_cast<DWORD>(user.size())) + aceHeader +
                       ownerRightsSize;
    std::vector<BYTE> buffer(size);
    auto* acl = reinterpret_cast<ACL*>(buffer.data());
    // The deny entry comes first: the system reads the list in order.
    if (!InitializeAcl(acl, size, ACL_REVISION) ||
        !AddAccessDeniedAce(acl, ACL_REVISION, kDeniedAccess, user.data()) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, kAllowedAccess, user.data()) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, kAllowedAccess, ownerRights)) {
        return false;
    }
    // Protected: nothing is inherited into the list.
    return SetSecurityInfo(GetCurrentProcess(), SE_KERNEL_OBJECT,
                           DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                           nullptr, acl, nullptr) == ERROR_SUCCESS;
}

}  // namespace

void DisableCoreDumps() {
    // No fault dialog that would offer to send a dump of the process.
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
}

HardeningResult HardenProcess() {
    HardeningResult result;
    // An empty DLL directory takes the current folder out of the DLL search.
    result.dllDirectory = SetDllDirectoryW(L"") != 0;
    result.safeSearchMode = SetSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE |
                                              BASE_SEARCH_PATH_PERMANENT) != 0;
    result.processDacl = RestrictProcessDacl();
    return result;
}

}  // namespace zorvan
