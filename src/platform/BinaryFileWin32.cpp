#include <windows.h>

#include "platform/BinaryFile.h"
#include "platform/FileSteps.h"
#include "platform/StorageError.h"
#include "platform/Win32Error.h"

namespace zorvan {

namespace {
[[noreturn]] void Fail(const std::filesystem::path& path, const char* what, DWORD error) {
    throw StorageError(path, std::string(what) + ": " + Win32ErrorText(error));
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}
}  // namespace

// The access list comes from the folder whichever access is asked for.
BinaryFile::BinaryFile(std::filesystem::path path, Mode mode, FileAccess) : path_(std::move(path)) {
    const DWORD access = mode == Mode::kRead ? GENERIC_READ : (GENERIC_READ | GENERIC_WRITE);
    const DWORD disposition = mode == Mode::kRead ? OPEN_EXISTING : OPEN_ALWAYS;
    handle_ = CreateFileW(path_.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        Fail(path_, "開けません", GetLastError());
    }
}

BinaryFile::~BinaryFile() {
    CloseHandle(handle_);
}

std::uint64_t BinaryFile::Size() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_, &size)) {
        Fail(path_, "大きさを読めません", GetLastError());
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t BinaryFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    std::size_t done = 0;
    while (done < out.size()) {
        OVERLAPPED at = At(offset + done);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(handle_, out.data() + done, want, &got, &at)) {
            const DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF) {
                break;
            }
            Fail(path_, "読み込めません", error);
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

void BinaryFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> data) {
    filesteps::Announce("write", path_);
    std::size_t done = 0;
    while (done < data.size()) {
        OVERLAPPED at = At(offset + done);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
        DWORD put = 0;
        if (!WriteFile(handle_, data.data() + done, want, &put, &at)) {
            Fail(path_, "書き込めません", GetLastError());
        }
        done += put;
    }
}

void BinaryFile::Sync() {
    filesteps::Announce("flush", path_);
    if (!FlushFileBuffers(handle_)) {
        Fail(path_, "ディスクに書き込めません", GetLastError());
    }
}

void BinaryFile::CreateIfMissing(const std::filesystem::path& path) {
    filesteps::Announce("create", path);
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        Fail(path, "作成できません", GetLastError());
    }
    CloseHandle(h);
}

}  // namespace zorvan
