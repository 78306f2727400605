#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "platform/FileAccess.h"

namespace zorvan {

// A file read and written at byte positions; the item file, the bitmap and backups
// go through it. Errors throw StorageError naming the file.
class BinaryFile {
public:
    enum class Mode {
        kRead,       // the file must exist
        kReadWrite,  // created empty when missing
    };

    // access is who may open the file when this creates it.
    BinaryFile(std::filesystem::path path, Mode mode, FileAccess access = FileAccess::kOwnerOnly);
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }
    std::uint64_t Size() const;

    // Reads up to out.size() bytes at offset; returns how many there were (fewer at
    // the end of the file).
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const;
    void WriteAt(std::uint64_t offset, std::span<const std::uint8_t> data);
    // Forces what was written to the disk.
    void Sync();

    // Creates an empty file, kOwnerOnly, when none exists; leaves an existing one alone.
    static void CreateIfMissing(const std::filesystem::path& path);

private:
    std::filesystem::path path_;
#ifdef _WIN32
    void* handle_;
#else
    int fd_;
#endif
};

}  // namespace zorvan
