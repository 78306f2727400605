#include <windows.h>

#include <algorithm>
#include <string>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/AtomicFileNames.h"
#include "platform/FileSteps.h"
#include "platform/StorageError.h"
#include "platform/Win32Error.h"

namespace zorvan {

// "name.<process id>.tmp", as the replacement below names it.
bool atomicfile::IsTemporaryOf(const std::filesystem::path::string_type& candidate,
                               const std::filesystem::path::string_type& name) {
    const std::wstring prefix = name + L".";
    const std::wstring suffix = L".tmp";
    if (candidate.size() <= prefix.size() + suffix.size() || !candidate.starts_with(prefix) ||
        !candidate.ends_with(suffix)) {
        return false;
    }
    return std::all_of(candidate.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                       candidate.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                       [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// The access list comes from the folder whichever access is asked for.
void ReplaceFileAtomically(const std::filesystem::path& target, std::string_view content,
                           FileAccess) {
    std::filesystem::path temp = target;
    temp += L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    filesteps::Announce("create", target);
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        throw StorageError(target,
                           "一時ファイルを作成できません: " + Win32ErrorText(GetLastError()));
    }
    // Whatever stops the replacement before the rename (a failed call, or a step
    // hook that throws) takes the temporary file with it.
    bool open = true;
    try {
        filesteps::Announce("write", temp);
        std::size_t done = 0;
        bool ok = true;
        while (ok && done < content.size()) {
            DWORD put = 0;
            const DWORD want =
                static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 30));
            ok = WriteFile(h, content.data() + done, want, &put, nullptr) != FALSE;
            done += put;
        }
        if (ok) {
            filesteps::Announce("flush", temp);
            ok = FlushFileBuffers(h) != FALSE;
        }
        const DWORD writeError = ok ? 0 : GetLastError();
        CloseHandle(h);
        open = false;
        if (!ok) {
            throw StorageError(target, "書き込めません: " + Win32ErrorText(writeError));
        }
        RenameReplacing(temp, target);
    } catch (...) {
        if (open) {
            CloseHandle(h);
        }
        DeleteFileW(temp.c_str());
        throw;
    }
    // MOVEFILE_WRITE_THROUGH has already waited for the rename. The step is still
    // announced, so that both systems take the same steps; the file is replaced by
    // now, so nothing here may report a failure.
    try {
        filesteps::Announce("sync folder", target.parent_path());
    } catch (...) {
    }
}

void RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    filesteps::Announce("rename", to);
    // Virus scanners and indexers open files briefly; wait for them rather than fail.
    DWORD error = 0;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return;
        }
        error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
            error != ERROR_LOCK_VIOLATION) {
            break;
        }
        Sleep(20);
    }
    throw StorageError(to, "置き換えられません: " + Win32ErrorText(error));
}

}  // namespace zorvan
