#pragma once

#include <filesystem>

namespace zorvan {

// Who may open what the program creates. On POSIX systems kOwnerOnly gives files
// mode 0600 and folders 0700; kUserDefault leaves it to the user's umask, for files
// the user saves for other programs. On Windows both take what the folder passes on.
enum class FileAccess { kOwnerOnly, kUserDefault };

// Creates the folder and each missing folder above it, kOwnerOnly. An existing
// folder is left as it is. Throws StorageError naming the folder.
void CreatePrivateFolders(const std::filesystem::path& folder);

// Takes an existing file to 0600 or folder to 0700 on POSIX systems; nothing on
// Windows. False when the system refuses (another user's file, a read-only drive):
// the file stays usable as it is, so the caller goes on.
bool RestrictToOwner(const std::filesystem::path& path);

}  // namespace zorvan
