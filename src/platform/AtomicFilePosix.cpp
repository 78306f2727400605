#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/AtomicFileNames.h"
#include "platform/FileSteps.h"
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

}  // namespace

// ".name.XXXXXX", as mkstemp completes the template below.
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

void ReplaceFileAtomically(const std::filesystem::path& target, std::string_view content) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    filesteps::Announce("create", target);
    std::string tempName = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tempName.data());
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
