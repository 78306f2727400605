#pragma once

#include <string>
#include <system_error>

namespace zorvan {

// What the system reported, in Japanese words a user can be shown after the path
// and the failed step ("…/Zorvan.ini: 作成できません: ファイルまたはフォルダがありません").
// The usual causes have a phrase of their own; any other code is named by number.

// An errno value.
std::string ErrnoText(int error);

// An error code from std::filesystem and the like: errno values, or Win32 codes
// when the system category says so on Windows.
std::string SystemErrorText(const std::error_code& error);

}  // namespace zorvan
