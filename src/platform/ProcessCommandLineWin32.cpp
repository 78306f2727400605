#include <windows.h>

#include <cstring>
#include <cwchar>

#include "platform/ProcessCommandLine.h"
#include "platform/SecureWipe.h"

namespace zorvan {

namespace {

// How many UTF-16 units the first `bytes` bytes of a UTF-8 text make.
std::size_t WideLength(const std::string& utf8, std::size_t bytes) {
    if (bytes == 0) {
        return 0;
    }
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(bytes), nullptr, 0);
    return units > 0 ? static_cast<std::size_t>(units) : 0;
}

// How many ANSI bytes the first `units` UTF-16 units of a wide text make.
std::size_t AnsiLength(const wchar_t* wide, std::size_t units) {
    if (units == 0) {
        return 0;
    }
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(units), nullptr, 0, nullptr, nullptr);
    return bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
}

}  // namespace

std::string ProcessCommandLine() {
    const wchar_t* wide = GetCommandLineW();
    const int length = static_cast<int>(std::wcslen(wide));
    if (length == 0) {
        return {};
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.data(), bytes, nullptr, nullptr);
    }
    return utf8;
}

void BlankProcessCommandLine(std::size_t begin, std::size_t end) {
    if (end <= begin) {
        return;
    }
    std::string utf8 = ProcessCommandLine();
    if (end > utf8.size()) {
        return;
    }
    wchar_t* wide = GetCommandLineW();
    const std::size_t wideLength = std::wcslen(wide);
    const std::size_t wideBegin = WideLength(utf8, begin);
    const std::size_t wideEnd = WideLength(utf8, end);
    // The ANSI copy was converted from the wide one; offsets follow the same way.
    const std::size_t ansiBegin = AnsiLength(wide, wideBegin);
    const std::size_t ansiEnd = AnsiLength(wide, wideEnd);
    for (std::size_t i = wideBegin; i < wideEnd && i < wideLength; ++i) {
        wide[i] = L' ';
    }
    char* ansi = GetCommandLineA();
    const std::size_t ansiLength = std::strlen(ansi);
    for (std::size_t i = ansiBegin; i < ansiEnd && i < ansiLength; ++i) {
        ansi[i] = ' ';
    }
    SecureWipe(utf8);
}

}  // namespace zorvan
