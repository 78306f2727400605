#include "vault/RecordBatch.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "platform/StorageError.h"

namespace zorvan {

namespace {

constexpr std::uint64_t kBlockSize = 16;
constexpr std::uint64_t kMaxBlock = std::numeric_limits<BlockNumber>::max();

void SetBit(std::vector<std::uint8_t>& bits, std::uint64_t block) {
    bits[static_cast<std::size_t>((block - 1) / 8)] |=
        static_cast<std::uint8_t>(1u << ((block - 1) % 8));
}

}  // namespace

RecordBatch::RecordBatch(const std::filesystem::path& itmFile, const std::filesystem::path& bmpFile)
    : itm_(itmFile, BinaryFile::Mode::kReadWrite), bmp_(bmpFile, BinaryFile::Mode::kReadWrite) {
    itmSize_ = itm_.Size();
    bits_.resize(static_cast<std::size_t>(bmp_.Size()));
    bits_.resize(bmp_.ReadAt(0, bits_));
}

std::uint64_t RecordBatch::KnownFirstStart(std::uint64_t count) const {
    std::uint64_t first = 1;
    for (const auto& [searched, found] : foundAt_) {
        if (searched <= count) {
            first = std::max(first, found);
        }
    }
    return first;
}

std::uint64_t RecordBatch::FindFreeRun(std::uint64_t count) const {
    std::uint64_t runStart = 0;
    std::uint64_t runLength = 0;
    const std::uint64_t fromByte = std::max(firstOpenByte_, (KnownFirstStart(count) - 1) / 8);
    for (std::uint64_t i = fromByte; i < bits_.size(); ++i) {
        const std::uint8_t byte = bits_[static_cast<std::size_t>(i)];
        if (byte == 0xFF) {
            runLength = 0;
            continue;
        }
        for (unsigned bit = 0; bit < 8; ++bit) {
            if ((byte >> bit) & 1) {
                runLength = 0;
            } else if (runLength++ == 0) {
                runStart = i * 8 + bit + 1;
            }
            if (runLength == count) {
                return runStart;
            }
        }
    }
    const std::uint64_t mapped = bits_.size() * 8;
    const std::uint64_t itmBlocks = (itmSize_ + kBlockSize - 1) / kBlockSize;
    if (itmBlocks > mapped) {
        return itmBlocks + 1;
    }
    return runLength > 0 ? runStart : mapped + 1;
}

void RecordBatch::MarkUsed(std::uint64_t first, std::uint64_t last, std::uint64_t itmBlocksBefore) {
    const std::uint64_t oldSize = bits_.size();
    const std::uint64_t fromByte = std::min((first - 1) / 8, oldSize);
    const std::uint64_t toByte = (last - 1) / 8;
    if (toByte >= oldSize) {
        bits_.resize(static_cast<std::size_t>(toByte + 1), 0);
    }
    // Blocks of the item file that the old bitmap did not reach may hold records:
    // within the bytes written now, they are marked as used, as StoreItem does.
    const std::uint64_t mapped = oldSize * 8;
    for (std::uint64_t block = std::max(mapped + 1, fromByte * 8 + 1);
         block <= std::min(itmBlocksBefore, (toByte + 1) * 8); ++block) {
        SetBit(bits_, block);
    }
    for (std::uint64_t block = first; block <= last; ++block) {
        SetBit(bits_, block);
    }
    dirtyFrom_ = dirty_ ? std::min(dirtyFrom_, fromByte) : fromByte;
    dirtyTo_ = dirty_ ? std::max(dirtyTo_, toByte) : toByte;
    dirty_ = true;
    while (firstOpenByte_ < bits_.size() &&
           bits_[static_cast<std::size_t>(firstOpenByte_)] == 0xFF) {
        ++firstOpenByte_;
    }
}

BlockNumber RecordBatch::Store(std::span<const std::uint8_t> cipherData, std::int32_t count,
                               std::int32_t expire, double expireDate) {
    if (count < 2 || cipherData.size() != static_cast<std::size_t>(count - 1) * kBlockSize) {
        throw std::invalid_argument("RecordBatch: data does not fill count - 1 blocks");
    }
    const std::uint64_t first = FindFreeRun(static_cast<std::uint64_t>(count));
    const auto known = std::find_if(foundAt_.begin(), foundAt_.end(), [&](const auto& entry) {
        return entry.first == static_cast<std::uint64_t>(count);
    });
    if (known == foundAt_.end()) {
        foundAt_.emplace_back(static_cast<std::uint64_t>(count), first);
    } else {
        known->second = first;
    }
    const std::uint64_t last = first + static_cast<std::uint64_t>(count) - 1;
    if (last > kMaxBlock) {
        throw StorageError(bmp_.path(), "空きブロックがありません");
    }
    std::vector<std::uint8_t> record(kBlockSize + cipherData.size());
    std::memcpy(record.data(), &count, 4);
    std::memcpy(record.data() + 4, &expire, 4);
    std::memcpy(record.data() + 8, &expireDate, 8);
    std::memcpy(record.data() + kBlockSize, cipherData.data(), cipherData.size());
    // Written before its blocks count as used: a failed write allocates nothing.
    itm_.WriteAt((first - 1) * kBlockSize, record);
    const std::uint64_t itmBlocksBefore = (itmSize_ + kBlockSize - 1) / kBlockSize;
    MarkUsed(first, last, itmBlocksBefore);
    itmSize_ = std::max(itmSize_, last * kBlockSize);
    ++stored_;
    return static_cast<BlockNumber>(first);
}

void RecordBatch::Commit() {
    if (!dirty_) {
        return;
    }
    bmp_.WriteAt(dirtyFrom_,
                 std::span(bits_).subspan(static_cast<std::size_t>(dirtyFrom_),
                                          static_cast<std::size_t>(dirtyTo_ - dirtyFrom_ + 1)));
    itm_.Sync();
    bmp_.Sync();
    dirty_ = false;
}

}  // namespace zorvan
