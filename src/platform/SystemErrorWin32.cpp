#include <windows.h>

#include <cerrno>

#include "platform/SystemError.h"
#include "platform/Win32Error.h"

namespace zorvan {

namespace {

// The errno of the same meaning, for the codes the phrases of ErrnoText cover.
int SameAsErrno(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
            return EACCES;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_WRITE_PROTECT:
            return EROFS;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_DIR_NOT_EMPTY:
            return ENOTEMPTY;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EBUSY;
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_IO_DEVICE:
            return EIO;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EMFILE;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_NOT_SAME_DEVICE:
            return EXDEV;
        default:
            return 0;
    }
}

// The system's own message in Japanese; empty where no Japanese messages are
// installed.
std::string JapaneseSystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD len = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN),
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string utf8;
    if (len > 0 && buffer != nullptr) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(len), nullptr, 0,
                                             nullptr, nullptr);
        utf8.assign(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(len), utf8.data(), size, nullptr,
                            nullptr);
        while (!utf8.empty() &&
               (utf8.back() == '\n' || utf8.back() == '\r' || utf8.back() == ' ')) {
            utf8.pop_back();
        }
    }
    LocalFree(buffer);
    return utf8;
}

}  // namespace

std::string Win32ErrorText(DWORD error) {
    if (const int same = SameAsErrno(error)) {
        return ErrnoText(same);
    }
    switch (error) {
        case ERROR_INVALID_NAME:
            return "ファイル名、フォルダ名またはパスの書き方が正しくありません";
        case ERROR_NOT_READY:
            return "ドライブの準備ができていません";
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return "ネットワーク上の場所が見つかりません";
        default:
            break;
    }
    std::string text = "システムエラー (コード " + std::to_string(error) + ")";
    const std::string system = JapaneseSystemMessage(error);
    if (!system.empty()) {
        text += " " + system;
    }
    return text;
}

}  // namespace zorvan
