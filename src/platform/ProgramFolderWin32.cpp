#include <windows.h>

#include <string>

#include "platform/ProgramFolder.h"

namespace zorvan {

std::filesystem::path ProgramFolder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD len =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (len == 0) {
            return std::filesystem::current_path();
        }
        if (len < buffer.size()) {
            buffer.resize(len);
            return std::filesystem::path(buffer).parent_path();
        }
        buffer.resize(buffer.size() * 2);
    }
}

// A folder's read-only flag means nothing on Windows; what counts is whether a file
// can be made there.
bool CanWriteIn(const std::filesystem::path& folder) {
    const std::filesystem::path probe = folder / L".zorvan-write-probe";
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

}  // namespace zorvan
