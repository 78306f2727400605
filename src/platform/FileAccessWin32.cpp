#include <windows.h>

#include "platform/FileAccess.h"
#include "platform/FileSteps.h"
#include "platform/StorageError.h"
#include "platform/Win32Error.h"

namespace zorvan {

namespace {

bool IsFolder(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

// The folder's access list is the one its parent passes on, as for every folder
// the user makes.
void CreatePrivateFolders(const std::filesystem::path& folder) {
    if (folder.empty() || IsFolder(folder)) {
        return;
    }
    filesteps::Announce("create", folder);
    if (CreateDirectoryW(folder.c_str(), nullptr)) {
        return;
    }
    DWORD error = GetLastError();
    const std::filesystem::path parent = folder.parent_path();
    if (error == ERROR_PATH_NOT_FOUND && !parent.empty() && parent != folder) {
        CreatePrivateFolders(parent);
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            return;
        }
        error = GetLastError();
    }
    if (error == ERROR_ALREADY_EXISTS && IsFolder(folder)) {
        return;
    }
    throw StorageError(folder, "フォルダを作成できません: " + Win32ErrorText(error));
}

bool RestrictToOwner(const std::filesystem::path&) {
    return true;
}

}  // namespace zorvan
