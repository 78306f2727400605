#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/AtomicFileNames.h"
#include "platform/FileSteps.h"
#include "platform/RandomSource.h"
#include "platform/StorageError.h"
#include "platform/SystemError.h"

namespace zorvan {

namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, const char* what, int error) {
    throw StorageError(path, std::string(what) + ": " + ErrnoText(error));
}

bool WriteAll(int fd, std::string_view content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Creates ".name.XXXXXX" beside the target as mkstemp does, but with the mode
// asked for (mkstemp always makes 0600). Returns the descriptor, or -1 with errno.
int CreateTemporary(const std::filesystem::path& folder, const std::filesystem::path& target,
                    mode_t mode, std::string& name) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::array<std::uint8_t, 6> random{};
        RandomSource::FillBytes(random);
        std::string suffix;
        for (const std::uint8_t byte : random) {
            suffix += kLetters[byte % (sizeof kLetters - 1)];
        }
        name = (folder / ("." + target.filename().string() + "." + suffix)).string();
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

}  // namespace

// ".name.XXXXXX", as CreateTemporary names it.
bool atomicfile::IsTemporaryOf(const std::filesystem::path::string_type& candidate,
                               const std::filesystem::path::string_type& name) {
    const std::string prefix = "." + name + ".";
    if (candidate.size() != prefix.size() + 6 || !candidate.starts_with(prefix)) {
        return false;
    }
    return std::all_of(candidate.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                       candidate.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

void ReplaceFileAtomically(const std::filesystem::path& target, std::string_view content,
                           FileAccess access) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    filesteps::Announce("create", target);
    // The umask applies to both: 0600 can only narrow, 0666 becomes the user's default.
    std::string tempName;
    const int fd =
        CreateTemporary(folder, target, access == FileAccess::kOwnerOnly ? 0600 : 0666, tempName);
    if (fd < 0) {
        Fail(target, "一時ファイルを作成できません", errno);
    }
    // Whatever stops the replacement before the rename (a failed call, or a step
    // hook that throws) takes the temporary file with it.
    bool open = true;
    try {
        filesteps::Announce("write", tempName);
        bool ok = WriteAll(fd, content);
        if (ok) {
            filesteps::Announce("flush", tempName);
            ok = ::fsync(fd) == 0;
        }
        if (!ok) {
            Fail(target, "書き込めません", errno);
        }
        ::close(fd);
        open = false;
        RenameReplacing(tempName, target);
    } catch (...) {
        if (open) {
            ::close(fd);
        }
        ::unlink(tempName.c_str());
        throw;
    }
    // The rename itself must reach the disk too, or a power loss could bring back
    // the old file after a later write already relied on the new one. The file is
    // replaced by now, so nothing here may report a failure: a caller would undo
    // what depends on a replacement that has in fact happened.
    try {
        filesteps::Announce("sync folder", folder);
        const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            ::fsync(dirFd);
            ::close(dirFd);
        }
    } catch (...) {
    }
}

void RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    filesteps::Announce("rename", to);
    if (::rename(from.c_str(), to.c_str()) != 0) {
        Fail(to, "置き換えられません", errno);
    }
}

}  // namespace zorvan
