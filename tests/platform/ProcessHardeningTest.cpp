// The start-up hardening on Windows. It lasts for the rest of the process, so
// these tests have an executable of their own: the process is hardened once,
// and each test checks its effects.
#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/ProcessHardening.h"

namespace zorvan {
namespace {

class ProcessHardeningTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // A DLL directory set earlier shows whether the hardening replaced it.
        SetDllDirectoryW(L"C:\\planted");
        result_ = HardenProcess();
    }

    static std::vector<BYTE> UserSid() {
        HANDLE token = nullptr;
        DWORD size = 0;
        std::vector<BYTE> info(256);
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
            return {};
        }
        const bool read = GetTokenInformation(token, TokenUser, info.data(),
                                              static_cast<DWORD>(info.size()), &size) != 0;
        CloseHandle(token);
        if (!read) {
            return {};
        }
        const PSID sid = reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid;
        return {static_cast<BYTE*>(sid), static_cast<BYTE*>(sid) + GetLengthSid(sid)};
    }

    static inline HardeningResult result_;
};

TEST_F(ProcessHardeningTest, EveryStepSucceedsAndDllSearchStaysNarrow) {
    EXPECT_TRUE(result_.dllDirectory);
    EXPECT_TRUE(result_.safeSearchMode);
    EXPECT_TRUE(result_.processDacl);
    // The current folder is out of the search, and safe search mode stays on.
    wchar_t directory[MAX_PATH] = L"unchanged";
    EXPECT_EQ(GetDllDirectoryW(MAX_PATH, directory), 0u);
    EXPECT_STREQ(directory, L"");
    EXPECT_FALSE(SetSearchPathMode(BASE_SEARCH_PATH_DISABLE_SAFE_SEARCHMODE));
}

TEST_F(ProcessHardeningTest, TheUserIsDeniedOurMemoryAndGrantedOnlyWaitQueryAndEnd) {
    const std::vector<BYTE> user = UserSid();
    ASSERT_FALSE(user.empty());
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetSecurityInfo(GetCurrentProcess(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, &dacl, nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_NE(dacl, nullptr);
    bool denied = false;
    ACCESS_MASK granted = 0;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, &ace));
        const auto* header = static_cast<ACE_HEADER*>(ace);
        // Allowed and denied entries share one layout.
        const auto* entry = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        const PSID sid = const_cast<DWORD*>(&entry->SidStart);
        if (header->AceType == ACCESS_DENIED_ACE_TYPE && EqualSid(sid, PSID(user.data()))) {
            // A deny entry counts only ahead of every allow entry.
            EXPECT_EQ(granted, 0u) << "deny entry after an allow entry";
            denied = (entry->Mask & PROCESS_VM_READ) != 0 && (entry->Mask & WRITE_DAC) != 0;
        } else if (header->AceType == ACCESS_ALLOWED_ACE_TYPE) {
            granted |= entry->Mask;
        }
    }
    LocalFree(descriptor);
    EXPECT_TRUE(denied);
    EXPECT_EQ(granted, static_cast<ACCESS_MASK>(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION |
                                                PROCESS_TERMINATE));
    // Opening the process by its number is checked against the list as for any
    // other process of the user.
    EXPECT_EQ(OpenProcess(PROCESS_VM_READ, FALSE, GetCurrentProcessId()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(ProcessHardeningTest, TheProcessGoesOnWorking) {
    // A system DLL still loads, a thread still runs and the process can still be
    // waited for and queried.
    HMODULE library = LoadLibraryW(L"bcrypt.dll");
    EXPECT_NE(library, nullptr);
    FreeLibrary(library);
    bool ran = false;
    std::thread([&] { ran = true; }).join();
    EXPECT_TRUE(ran);
    HANDLE self =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, GetCurrentProcessId());
    EXPECT_NE(self, nullptr);
    CloseHandle(self);
}

}  // namespace
}  // namespace zorvan
