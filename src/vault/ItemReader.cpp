#include "vault/ItemReader.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/Codepage.h"
#include "platform/StorageError.h"
#include "vault/Cipher.h"

namespace zorvan {

namespace {
// Most records are this small, so one read usually fetches header and data.
constexpr std::size_t kFirstRead = 256;
// Reads this close to the one before are served from a window of this size. Past
// that distance copying the bytes in between costs more than a read of its own.
constexpr std::uint64_t kWindow = 64 * 1024;
constexpr std::uint64_t kNear = 4 * 1024;
}  // namespace

ItemReader::ItemReader(const std::filesystem::path& itmFile, const Cipher& cipher, Scope scope)
    : ItemReader(itmFile, scope) {
    cipher_ = &cipher;
}

ItemReader::ItemReader(const std::filesystem::path& itmFile, Scope scope)
    : file_(itmFile, BinaryFile::Mode::kRead), size_(file_.Size()) {
    if (scope == Scope::kWholeFile) {
        whole_ = true;
        window_.resize(static_cast<std::size_t>(size_));
        window_.resize(file_.ReadAt(0, window_));
    }
}

RecordHeader ItemReader::ReadHeader(BlockNumber block) {
    return ReadRecord(block, nullptr);
}

SecureBytes ItemReader::ReadData(BlockNumber block) {
    SecureBytes data;
    ReadRecord(block, &data);
    return data;
}

RecordHeader ItemReader::ReadRecord(BlockNumber block, SecureBytes* data) {
    const auto& path = file_.path();
    if (block < 1) {
        throw StorageError(path, "ブロック番号が不正です", block);
    }
    const std::uint64_t offset = (static_cast<std::uint64_t>(block) - 1) * kBlockSize;
    if (offset >= size_ || size_ - offset < kBlockSize) {
        throw StorageError(path, "レコードがファイルの範囲外です", block);
    }
    std::uint8_t first[kFirstRead];
    // The header alone needs only its own block.
    const std::size_t want = static_cast<std::size_t>(
        std::min<std::uint64_t>(data != nullptr ? kFirstRead : kBlockSize, size_ - offset));
    const std::size_t got = Fetch(offset, std::span(first, want));
    if (got < kBlockSize) {
        throw StorageError(path, "レコードを読み込めません", block);
    }
    const RecordHeader header = DecodeRecordHeader(
        std::span<const std::uint8_t, kRecordHeaderSize>(first, kRecordHeaderSize));
    if (header.count < 2) {
        throw StorageError(
            path, "レコードのブロック数 " + std::to_string(header.count) + " が不正です", block);
    }
    // Checked before anything is allocated for the data.
    if (static_cast<std::uint64_t>(header.count) > (size_ - offset) / kBlockSize) {
        throw StorageError(path, "レコードがファイルの終わりを越えています", block);
    }
    if (data != nullptr) {
        if (cipher_ == nullptr) {
            throw std::logic_error("ItemReader: no key to decipher a record with");
        }
        *data = SecureBytes(static_cast<std::size_t>(header.count - 1) * kBlockSize);
        const std::size_t have = std::min(got - kBlockSize, data->size());
        std::memcpy(data->data(), first + kBlockSize, have);
        if (have < data->size() &&
            Fetch(offset + kBlockSize + have, data->span().subspan(have)) != data->size() - have) {
            throw StorageError(path, "レコードを読み込めません", block);
        }
        cipher_->Decrypt(data->span());
    }
    std::fill(std::begin(first), std::end(first), 0);
    return header;
}

std::size_t ItemReader::Fetch(std::uint64_t offset, std::span<std::uint8_t> out) {
    const bool near = (offset > lastOffset_ ? offset - lastOffset_ : lastOffset_ - offset) <= kNear;
    const bool backwards = offset < lastOffset_;
    lastOffset_ = offset;
    const bool inWindow = offset >= windowAt_ && offset - windowAt_ + out.size() <= window_.size();
    if (!inWindow && !whole_) {
        if (!near || out.size() > kWindow / 2 || offset >= size_) {
            return file_.ReadAt(offset, out);
        }
        // Lines list the newest record first, so a group is often read backwards.
        const std::uint64_t end = std::min(size_, offset + (backwards ? out.size() : kWindow));
        windowAt_ = backwards ? (end > kWindow ? end - kWindow : 0) : offset;
        window_.resize(static_cast<std::size_t>(end - windowAt_));
        window_.resize(file_.ReadAt(windowAt_, window_));
    }
    const std::uint64_t from = offset - windowAt_;
    if (offset < windowAt_ || from >= window_.size()) {
        return 0;
    }
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), window_.size() - from));
    std::memcpy(out.data(), window_.data() + from, count);
    return count;
}

ItemRecord ItemReader::Load(BlockNumber block) {
    SecureBytes data;
    const RecordHeader header = ReadRecord(block, &data);
    ItemRecord item;
    item.Expire = header.expire;
    item.ExpireDate = header.expireDate;
    std::string* texts[] = {&item.ItemName, &item.AccountID, &item.AccountPass, &item.RelatedURL,
                            &item.AccountMemo};
    // A zero byte ends each text; a text without one stays empty, bytes after the
    // fifth are ignored.
    std::size_t field = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < data.size() && field < 5; ++i) {
        if (data[i] != 0) {
            continue;
        }
        const std::string_view ansi(reinterpret_cast<const char*>(data.data()) + start, i - start);
        *texts[field++] = codepage::FromAnsi(ansi);
        start = i + 1;
    }
    return item;
}

}  // namespace zorvan
