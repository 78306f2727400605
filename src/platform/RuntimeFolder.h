#pragma once

#include <filesystem>
#include <optional>

namespace zorvan {

// A folder that only this process's user can reach, for the running copy's lock
// and socket, so that no other user can plant either.
//
// POSIX: $XDG_RUNTIME_DIR when it is an absolute path to a real folder (not a
// symbolic link) owned by this user that nobody else may enter. Otherwise
// `fallback`, created with mode 0700; an existing one of this user's is brought
// back to 0700, one that is a link or belongs to somebody else is refused.
// Windows: %LOCALAPPDATA%\Zorvan, which the user profile's permissions keep
// private; `fallback` when that variable is missing.
// Nothing when no such folder can be had.
std::optional<std::filesystem::path> PrivateRuntimeFolder(const std::filesystem::path& fallback);

}  // namespace zorvan
