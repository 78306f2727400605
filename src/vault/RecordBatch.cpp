#include "vault/RecordBatch.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "platform/StorageError.h"
#include "vault/BlockBitmap.h"
#include "vault/RecordHeader.h"

namespace zorvan {

namespace {

constexpr std::uint64_t kBlockSize = 16;
constexpr std::uint64_t kMaxBlock = std::numeric_limits<BlockNumber>::max();

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
    const std::uint64_t fromByte = std::max(firstOpenByte_, (KnownFirstStart(count) - 1) / 8);
    bitmap::FreeRunSearch search(count);
    if (fromByte < bits_.size() &&
        search.Feed(fromByte, std::span(bits_).subspan(static_cast<std::size_t>(fromByte)))) {
        return search.start();
    }
    return search.Finish(bits_.size(), (itmSize_ + kBlockSize - 1) / kBlockSize);
}

void RecordBatch::MarkUsed(std::uint64_t first, std::uint64_t last, std::uint64_t itmBlocksBefore) {
    const std::uint64_t oldSize = bits_.size();
    const bitmap::ByteRange range = bitmap::BytesFor(first, last, oldSize);
    if (range.last >= oldSize) {
        bits_.resize(static_cast<std::size_t>(range.last + 1), 0);
    }
    bitmap::MarkAllocated(std::span(bits_).subspan(static_cast<std::size_t>(range.first)), range,
                          oldSize, itmBlocksBefore, first, last);
    dirtyFrom_ = dirty_ ? std::min(dirtyFrom_, range.first) : range.first;
    dirtyTo_ = dirty_ ? std::max(dirtyTo_, range.last) : range.last;
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
    const std::vector<std::uint8_t> record = EncodeRecord({count, expire, expireDate}, cipherData);
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
