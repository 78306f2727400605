#include "vault/DurableFiles.h"

#include <algorithm>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/BinaryFile.h"
#include "platform/FileSteps.h"
#include "platform/StorageError.h"
#include "platform/SystemError.h"
#include "platform/WholeFile.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/Win32Error.h"
#else
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>
#endif

namespace zorvan::durable {

namespace {

// Small enough that a test stopping at every chunk sees files cut in many places.
constexpr std::size_t kChunk = 4096;

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    std::filesystem::path folder = file.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

}  // namespace

void SetStepHook(std::function<void(std::string_view)> hook) {
    if (!hook) {
        filesteps::SetHook(nullptr);
        return;
    }
    filesteps::SetHook([hook = std::move(hook)](std::string_view step,
                                                const std::filesystem::path&) { hook(step); });
}

void Step(std::string_view what) {
    filesteps::Announce(what, {});
}

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& file) {
    bool complete = false;
    auto bytes = ReadWholeFile<std::vector<std::uint8_t>>(file, BinaryFile::Mode::kRead, &complete);
    if (!complete) {
        throw StorageError(file, "ファイルを最後まで読めません");
    }
    return bytes;
}

void WriteNew(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
    filesteps::Announce("create", file);
    std::error_code error;
    std::filesystem::remove(file, error);
    if (error) {
        throw StorageError(file, "古いファイルを削除できません: " + SystemErrorText(error));
    }
    BinaryFile out(file, BinaryFile::Mode::kReadWrite);
    for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
        out.WriteAt(at, bytes.subspan(at, std::min(kChunk, bytes.size() - at)));
    }
    out.Sync();
}

#ifdef _WIN32

void Replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    RenameReplacing(from, to);
}

void SyncFolder(const std::filesystem::path& folder) {
    // MOVEFILE_WRITE_THROUGH already waits for the rename; NTFS journals the rest.
    filesteps::Announce("sync folder", folder);
}

#else

void Replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    RenameReplacing(from, to);
    SyncFolder(FolderOf(to));
}

void SyncFolder(const std::filesystem::path& folder) {
    filesteps::Announce("sync folder", folder);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        throw StorageError(folder, "フォルダを開けません: " + ErrnoText(errno));
    }
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0) {
        throw StorageError(folder, "フォルダをディスクに書き込めません: " + ErrnoText(error));
    }
}

#endif

bool RemoveIfPresent(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        return false;
    }
    filesteps::Announce("remove", file);
    if (!std::filesystem::remove(file, error) && error) {
        throw StorageError(file, "削除できません: " + SystemErrorText(error));
    }
    SyncFolder(FolderOf(file));
    return true;
}

}  // namespace zorvan::durable
