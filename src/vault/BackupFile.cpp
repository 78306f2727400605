#include "vault/BackupFile.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <system_error>
#include <vector>

#include "platform/BinaryFile.h"
#include "platform/Codepage.h"
#include "platform/StorageError.h"
#include "vault/DurableFiles.h"
#include "vault/OleDate.h"

namespace zorvan {

namespace {

constexpr char kMarker[4] = {'Z', 'V', 'B', 'K'};
constexpr std::string_view kUnfinished = ".tmp";

template <typename T>
void Put(std::uint8_t* at, T value) {
    std::memcpy(at, &value, sizeof value);
}

template <typename T>
T Get(const std::uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

bool IsLeadByte(std::uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// "yyyymmdd-hhmmss", the names Write gives.
bool IsBackupName(std::string_view name) {
    if (name.size() != 15 || name[8] != '-') {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (i != 8 && (name[i] < '0' || name[i] > '9')) {
            return false;
        }
    }
    return true;
}

std::int32_t LengthOf(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& file) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw StorageError(file, "バックアップするには大きすぎます");
    }
    return static_cast<std::int32_t>(bytes.size());
}

}  // namespace

std::array<std::uint8_t, BackupFile::kHeaderSize> BackupFile::EncodeHeader(
    const BackupHeader& header) {
    std::array<std::uint8_t, kHeaderSize> bytes{};
    std::memcpy(bytes.data(), kMarker, sizeof kMarker);
    Put(bytes.data() + 4, header.versionMajor);
    Put(bytes.data() + 8, header.versionMinor);
    Put(bytes.data() + 12, header.versionRevision);
    std::memcpy(bytes.data() + 16, header.checkBlock.data(), header.checkBlock.size());
    Put(bytes.data() + 32, header.date);
    Put(bytes.data() + 48, header.bmpLength);
    Put(bytes.data() + 52, header.iniLength);
    Put(bytes.data() + 56, header.idxLength);
    Put(bytes.data() + 60, header.itmLength);
    std::memcpy(bytes.data() + kCommentOffset, header.comment.data(),
                std::min(header.comment.size(), kCommentSize));
    return bytes;
}

BackupHeader BackupFile::DecodeHeader(std::span<const std::uint8_t, kHeaderSize> bytes) {
    BackupHeader header;
    header.versionMajor = Get<std::uint16_t>(bytes.data() + 4);
    header.versionMinor = Get<std::uint16_t>(bytes.data() + 8);
    header.versionRevision = Get<std::uint16_t>(bytes.data() + 12);
    std::memcpy(header.checkBlock.data(), bytes.data() + 16, header.checkBlock.size());
    header.date = Get<double>(bytes.data() + 32);
    header.bmpLength = Get<std::int32_t>(bytes.data() + 48);
    header.iniLength = Get<std::int32_t>(bytes.data() + 52);
    header.idxLength = Get<std::int32_t>(bytes.data() + 56);
    header.itmLength = Get<std::int32_t>(bytes.data() + 60);
    // The comment ends at its first zero byte; a comment of all 128 bytes has none.
    const auto* comment = bytes.data() + kCommentOffset;
    std::size_t length = 0;
    while (length < kCommentSize && comment[length] != 0) {
        ++length;
    }
    header.comment.assign(reinterpret_cast<const char*>(comment), length);
    return header;
}

BackupFile::Listing BackupFile::ReadListing(const std::filesystem::path& file) {
    Listing listing;
    try {
        const BinaryFile in(file, BinaryFile::Mode::kRead);
        std::array<std::uint8_t, kHeaderSize> bytes{};
        if (in.ReadAt(0, bytes) < kHeaderSize) {
            return listing;
        }
        const BackupHeader header = DecodeHeader(bytes);
        if (const auto parts = OleDate::ToParts(header.date)) {
            listing.dateText = OleDate::ListText(*parts);
        }
        listing.comment = codepage::FromAnsi(header.comment);
    } catch (const StorageError&) {
        // Listed all the same, so that it can be seen and deleted.
    }
    return listing;
}

void BackupFile::CheckLengths(const BackupHeader& header, std::uint64_t fileSize,
                              const std::filesystem::path& file) {
    if (fileSize < kHeaderSize) {
        throw StorageError(file, "バックアップファイルが短すぎます");
    }
    std::uint64_t total = kHeaderSize;
    for (const std::int32_t length :
         {header.bmpLength, header.iniLength, header.idxLength, header.itmLength}) {
        if (length < 0) {
            throw StorageError(file, "バックアップの長さが負です");
        }
        total += static_cast<std::uint64_t>(length);
    }
    if (total > fileSize) {
        throw StorageError(file, "バックアップの長さがファイルの大きさを超えています");
    }
}

BackupHeader BackupFile::ReadHeader(const std::filesystem::path& file) {
    const BinaryFile in(file, BinaryFile::Mode::kRead);
    const std::uint64_t size = in.Size();
    std::array<std::uint8_t, kHeaderSize> bytes{};
    if (size < kHeaderSize || in.ReadAt(0, bytes) < kHeaderSize) {
        throw StorageError(file, "バックアップファイルが短すぎます");
    }
    BackupHeader header = DecodeHeader(bytes);
    CheckLengths(header, size, file);
    return header;
}

std::string BackupFile::StoredComment(std::string_view utf8) {
    std::string ansi = codepage::ToAnsi(utf8);
    std::size_t end = 0;
    while (end < ansi.size()) {
        const auto lead = static_cast<std::uint8_t>(ansi[end]);
        const std::size_t width = IsLeadByte(lead) && end + 1 < ansi.size() ? 2 : 1;
        if (end + width > kCommentSize) {
            break;
        }
        end += width;
    }
    ansi.resize(end);
    return ansi;
}

std::filesystem::path BackupFile::Write(const DataPaths& paths, const std::string& fileName,
                                        BackupHeader header, const Progress& progress) {
    constexpr int kSteps = 6;
    int step = 0;
    const auto stepDone = [&] {
        if (progress) {
            progress(++step, kSteps);
        }
    };
    // Everything is read before anything is written, so an unreadable data file
    // leaves no trace in the backup folder.
    const auto bmp = durable::ReadAll(paths.strBmpFile);
    stepDone();
    const auto idx = durable::ReadAll(paths.strIdxFile);
    stepDone();
    const auto ini = durable::ReadAll(paths.strIniFile);
    stepDone();
    const auto itm = durable::ReadAll(paths.strItmFile);
    stepDone();
    header.bmpLength = LengthOf(bmp, paths.strBmpFile);
    header.idxLength = LengthOf(idx, paths.strIdxFile);
    header.iniLength = LengthOf(ini, paths.strIniFile);
    header.itmLength = LengthOf(itm, paths.strItmFile);
    if (header.comment.size() > kCommentSize) {
        header.comment.resize(kCommentSize);
    }

    std::vector<std::uint8_t> content;
    content.reserve(kHeaderSize + bmp.size() + idx.size() + ini.size() + itm.size());
    const auto head = EncodeHeader(header);
    content.insert(content.end(), head.begin(), head.end());
    for (const auto* part : {&bmp, &idx, &ini, &itm}) {
        content.insert(content.end(), part->begin(), part->end());
    }

    const auto target = paths.strBackupFolder / Utf8ToPath(fileName);
    auto temp = target;
    temp += kUnfinished;
    try {
        durable::WriteNew(temp, content);
        stepDone();
        durable::Replace(temp, target);
        stepDone();
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw;
    }
    return target;
}

void BackupFile::RemoveUnfinished(const std::filesystem::path& folder) {
    std::error_code error;
    std::vector<std::filesystem::path> unfinished;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = PathToUtf8(it->path().filename());
        if (name.ends_with(kUnfinished) &&
            IsBackupName(std::string_view(name).substr(0, name.size() - kUnfinished.size()))) {
            unfinished.push_back(it->path());
        }
    }
    for (const auto& file : unfinished) {
        durable::RemoveIfPresent(file);
    }
}

}  // namespace zorvan
