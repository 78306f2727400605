#include "platform/SystemError.h"

#include <cerrno>

namespace zorvan {

#ifdef _WIN32
// From Win32Error.h, which needs <windows.h>; DWORD is an unsigned long there.
std::string Win32ErrorText(unsigned long error);
#endif

std::string ErrnoText(int error) {
    switch (error) {
        case ENOENT:
            return "ファイルまたはフォルダがありません";
        case EACCES:
        case EPERM:
            return "アクセスが拒否されました";
        case EEXIST:
            return "同じ名前のファイルまたはフォルダが既にあります";
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return "ディスクの空き容量が足りません";
        case EROFS:
            return "読み取り専用のドライブです";
        case ENOTDIR:
            return "パスの途中にフォルダではないものがあります";
        case EISDIR:
            return "ファイルではなくフォルダです";
        case ENOTEMPTY:
            return "フォルダが空ではありません";
        case EBUSY:
#ifdef ETXTBSY
        case ETXTBSY:
#endif
            return "ほかのプログラムが使用中です";
        case EIO:
            return "ディスクの読み書きでエラーが起きました";
        case ENAMETOOLONG:
            return "ファイル名またはパスが長すぎます";
        case EMFILE:
        case ENFILE:
            return "開いているファイルが多すぎます";
        case ENOMEM:
            return "メモリが足りません";
        case EFBIG:
            return "ファイルが大きすぎます";
        case EXDEV:
            return "別のドライブへは移動できません";
#ifdef ELOOP
        case ELOOP:
            return "シンボリックリンクの参照が多すぎます";
#endif
        default:
            return "システムエラー (コード " + std::to_string(error) + ")";
    }
}

std::string SystemErrorText(const std::error_code& error) {
#ifdef _WIN32
    if (error.category() == std::system_category()) {
        return Win32ErrorText(static_cast<unsigned long>(error.value()));
    }
#endif
    return ErrnoText(error.value());
}

}  // namespace zorvan
