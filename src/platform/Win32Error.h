#pragma once

#include <windows.h>

#include <string>

namespace zorvan {

// The system's message for a Win32 error code, as UTF-8.
inline std::string Win32ErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD len = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = "error " + std::to_string(error);
    if (len > 0 && buffer != nullptr) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(len), nullptr, 0,
                                             nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(len), utf8.data(), size, nullptr,
                            nullptr);
        while (!utf8.empty() &&
               (utf8.back() == '\n' || utf8.back() == '\r' || utf8.back() == ' ')) {
            utf8.pop_back();
        }
        text += " (" + utf8 + ")";
    }
    LocalFree(buffer);
    return text;
}

}  // namespace zorvan
