#include <errno.h>
#include <sys/stat.h>

#include "platform/FileAccess.h"
#include "platform/FileSteps.h"
#include "platform/StorageError.h"
#include "platform/SystemError.h"

namespace zorvan {

namespace {

bool IsFolder(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

[[noreturn]] void Fail(const std::filesystem::path& folder, int error) {
    throw StorageError(folder, "フォルダを作成できません: " + ErrnoText(error));
}

}  // namespace

void CreatePrivateFolders(const std::filesystem::path& folder) {
    if (folder.empty() || IsFolder(folder)) {
        return;
    }
    filesteps::Announce("create", folder);
    if (::mkdir(folder.c_str(), 0700) == 0) {
        return;
    }
    int error = errno;
    const std::filesystem::path parent = folder.parent_path();
    if (error == ENOENT && !parent.empty() && parent != folder) {
        CreatePrivateFolders(parent);
        if (::mkdir(folder.c_str(), 0700) == 0) {
            return;
        }
        error = errno;
    }
    // Another process may have made it in the meantime.
    if (error == EEXIST && IsFolder(folder)) {
        return;
    }
    Fail(folder, error);
}

bool RestrictToOwner(const std::filesystem::path& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        return false;
    }
    const mode_t wanted = S_ISDIR(st.st_mode) ? 0700 : 0600;
    if ((st.st_mode & 07777) == wanted) {
        return true;
    }
    return ::chmod(path.c_str(), wanted) == 0;
}

}  // namespace zorvan
