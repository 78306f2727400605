#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "platform/RuntimeFolder.h"

namespace zorvan {

namespace {

// A real folder (lstat: a link to one does not count) owned by this user.
bool IsOwnFolder(const std::filesystem::path& folder, struct stat& info) {
    return lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid();
}

bool IsPrivateFolder(const std::filesystem::path& folder) {
    struct stat info {};
    return IsOwnFolder(folder, info) && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

std::optional<std::filesystem::path> MakePrivateFolder(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(folder.parent_path(), ignored);
    if (mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    struct stat info {};
    if (!IsOwnFolder(folder, info)) {
        return std::nullopt;
    }
    // Ours, but perhaps made with looser rights (another umask, a copy).
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0 && chmod(folder.c_str(), S_IRWXU) != 0) {
        return std::nullopt;
    }
    return IsPrivateFolder(folder) ? std::optional(folder) : std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> PrivateRuntimeFolder(const std::filesystem::path& fallback) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr) {
        const std::filesystem::path folder(runtime);
        if (folder.is_absolute() && IsPrivateFolder(folder)) {
            return folder;
        }
    }
    std::error_code error;
    const auto absolute = std::filesystem::absolute(fallback, error);
    return error ? std::nullopt : MakePrivateFolder(absolute);
}

}  // namespace zorvan
