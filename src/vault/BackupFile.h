#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "vault/DataFiles.h"

namespace zorvan {

// The header of a backup file. Lengths are those of the copies that follow it.
struct BackupHeader {
    std::uint16_t versionMajor = 0;
    std::uint16_t versionMinor = 0;
    std::uint16_t versionRevision = 0;
    // The master password's key bytes enciphered under their own key.
    std::array<std::uint8_t, 16> checkBlock{};
    double date = 0.0;  // days since 30 December 1899, time of day as the fraction
    std::int32_t bmpLength = 0;
    std::int32_t iniLength = 0;
    std::int32_t idxLength = 0;
    std::int32_t itmLength = 0;
    std::string comment;  // code page 932 bytes, at most 128
};

// A whole-vault snapshot: a 256-byte header, then byte-for-byte copies of the
// bitmap, the index, the settings file and the item file, back to back. (The
// header lists the lengths in the order bitmap, settings, index, item.)
class BackupFile {
public:
    static constexpr std::size_t kHeaderSize = 256;
    static constexpr std::size_t kCommentOffset = 128;
    static constexpr std::size_t kCommentSize = 128;

    static std::array<std::uint8_t, kHeaderSize> EncodeHeader(const BackupHeader& header);
    static BackupHeader DecodeHeader(std::span<const std::uint8_t, kHeaderSize> bytes);

    // What the backup list shows of any file in the backup folder.
    struct Listing {
        std::string dateText;  // "yyyy/MM/dd hh:mm:ss"; empty when there is no date
        std::string comment;   // UTF-8
    };
    // Never fails: a file too short for a header, or one that cannot be read, gives
    // an empty date and comment.
    static Listing ReadListing(const std::filesystem::path& file);

    // The header of a file that can be restored. Throws StorageError when the file is
    // shorter than a header, or a length is negative or reaches past the file's end.
    static BackupHeader ReadHeader(const std::filesystem::path& file);
    // The same checks on a header and the size of the file it came from.
    static void CheckLengths(const BackupHeader& header, std::uint64_t fileSize,
                             const std::filesystem::path& file);

    // The comment as stored: code page 932, cut to 128 bytes, never inside a
    // double-byte character.
    static std::string StoredComment(std::string_view utf8);

    // Writes a backup of the vault's four files as backupFolder/fileName (the
    // header's lengths are filled in here). The file appears whole or not at all: a
    // data file that cannot be read, or a failed write, throws StorageError and leaves
    // no file behind. An existing backup of that name is replaced. progress hears
    // done of total steps after each step.
    using Progress = std::function<void(int done, int total)>;
    static std::filesystem::path Write(const DataPaths& paths, const std::string& fileName,
                                       BackupHeader header, const Progress& progress = {});

    // Removes what a cut-short Write left in the backup folder.
    static void RemoveUnfinished(const std::filesystem::path& folder);
};

}  // namespace zorvan
