// Code page 932 through the Win32 conversion functions.
#include <windows.h>

#include "platform/CodepageNative.h"

namespace zorvan::codepage::native {

namespace {

constexpr UINT kCp932 = 932;

std::optional<std::wstring> ToWide(UINT codePage, std::string_view in) {
    if (in.empty()) {
        return std::wstring();
    }
    const int inLen = static_cast<int>(in.size());
    const int len =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), inLen, nullptr, 0);
    if (len <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(len), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), inLen, wide.data(), len) !=
        len) {
        return std::nullopt;
    }
    return wide;
}

std::optional<std::string> FromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    const int inLen = static_cast<int>(wide.size());
    // UTF-8 takes no default character; code page 932 must refuse look-alikes.
    const bool strict = codePage != CP_UTF8;
    const DWORD flags = strict ? WC_NO_BEST_FIT_CHARS : WC_ERR_INVALID_CHARS;
    BOOL usedDefault = FALSE;
    const char defaultChar = '?';
    const int len =
        WideCharToMultiByte(codePage, flags, wide.data(), inLen, nullptr, 0,
                            strict ? &defaultChar : nullptr, strict ? &usedDefault : nullptr);
    if (len <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string out(static_cast<std::size_t>(len), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), inLen, out.data(), len,
                            strict ? &defaultChar : nullptr,
                            strict ? &usedDefault : nullptr) != len ||
        usedDefault) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    const auto wide = ToWide(CP_UTF8, utf8);
    return wide ? FromWide(kCp932, *wide) : std::nullopt;
}

std::optional<std::string> Cp932ToUtf8(std::string_view ansi) {
    const auto wide = ToWide(kCp932, ansi);
    return wide ? FromWide(CP_UTF8, *wide) : std::nullopt;
}

}  // namespace zorvan::codepage::native
