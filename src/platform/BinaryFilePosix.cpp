#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/BinaryFile.h"
#include "platform/FileSteps.h"
#include "platform/StorageError.h"
#include "platform/SystemError.h"

namespace zorvan {

namespace {
[[noreturn]] void Fail(const std::filesystem::path& path, const char* what, int error) {
    throw StorageError(path, std::string(what) + ": " + ErrnoText(error));
}
}  // namespace

BinaryFile::BinaryFile(std::filesystem::path path, Mode mode, FileAccess access)
    : path_(std::move(path)) {
    const int flags = mode == Mode::kRead ? O_RDONLY : (O_RDWR | O_CREAT);
    // Both pass through the umask: 0600 can only narrow, 0666 becomes the user's default.
    const mode_t created = access == FileAccess::kOwnerOnly ? 0600 : 0666;
    do {
        fd_ = ::open(path_.c_str(), flags | O_CLOEXEC, created);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        Fail(path_, "開けません", errno);
    }
}

BinaryFile::~BinaryFile() {
    ::close(fd_);
}

std::uint64_t BinaryFile::Size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        Fail(path_, "大きさを読めません", errno);
    }
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t BinaryFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n =
            ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(path_, "読み込めません", errno);
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void BinaryFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> data) {
    filesteps::Announce("write", path_);
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done,
                                   static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(path_, "書き込めません", errno);
        }
        done += static_cast<std::size_t>(n);
    }
}

void BinaryFile::Sync() {
    filesteps::Announce("flush", path_);
    if (::fsync(fd_) != 0) {
        Fail(path_, "ディスクに書き込めません", errno);
    }
}

void BinaryFile::CreateIfMissing(const std::filesystem::path& path) {
    filesteps::Announce("create", path);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        Fail(path, "作成できません", errno);
    }
    ::close(fd);
}

}  // namespace zorvan
