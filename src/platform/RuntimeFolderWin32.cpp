#include <windows.h>

#include <system_error>

#include "platform/RuntimeFolder.h"

namespace zorvan {

std::optional<std::filesystem::path> PrivateRuntimeFolder(const std::filesystem::path& fallback) {
    std::filesystem::path folder = fallback;
    wchar_t local[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH + 1);
    if (length > 0 && length <= MAX_PATH) {
        folder = std::filesystem::path(std::wstring(local, length)) / L"Zorvan";
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) {
        return std::nullopt;
    }
    return folder;
}

}  // namespace zorvan
