// Lists what the Windows clipboard holds, as another program sees it through the
// Win32 clipboard: one line a format, "name<TAB>bytes<TAB>data in hex" for the
// registered formats (the first 16 bytes) and "text<TAB>..." for the Unicode text.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace

int main() {
    // The program that copied may hold the clipboard open for a moment.
    bool open = false;
    for (int attempt = 0; attempt < 100 && !open; ++attempt) {
        open = OpenClipboard(nullptr) != 0;
        if (!open) {
            Sleep(50);
        }
    }
    if (!open) {
        std::fprintf(stderr, "ClipboardFormats: the clipboard cannot be opened\n");
        return 1;
    }
    UINT format = 0;
    while ((format = EnumClipboardFormats(format)) != 0) {
        wchar_t name[256];
        const int length = GetClipboardFormatNameW(format, name, 256);
        if (format == CF_UNICODETEXT) {
            const HANDLE data = GetClipboardData(format);
            const auto* text =
                data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
            std::printf("text\t%s\n", text != nullptr ? Utf8(text, -1).c_str() : "");
            if (text != nullptr) {
                GlobalUnlock(data);
            }
        } else if (length > 0) {
            const HANDLE data = GetClipboardData(format);
            const SIZE_T size = data != nullptr ? GlobalSize(data) : 0;
            std::string hex;
            if (const auto* bytes = data != nullptr
                                        ? static_cast<const unsigned char*>(GlobalLock(data))
                                        : nullptr) {
                for (SIZE_T i = 0; i < size && i < 16; ++i) {
                    char two[3];
                    std::snprintf(two, sizeof two, "%02x", bytes[i]);
                    hex += two;
                }
                GlobalUnlock(data);
            }
            std::printf("%s\t%u\t%s\n", Utf8(name, length).c_str(), static_cast<unsigned>(size),
                        hex.c_str());
        }
    }
    CloseClipboard();
    return 0;
}
