#include "vault/ItemStore.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "platform/BinaryFile.h"
#include "platform/StorageError.h"
#include "vault/BlockBitmap.h"
#include "vault/RecordHeader.h"

namespace zorvan {

namespace {

constexpr std::uint64_t kMaxBlock = std::numeric_limits<BlockNumber>::max();
constexpr std::size_t kBitmapChunk = 64 * 1024;

std::uint64_t Offset(BlockNumber block) {
    return (static_cast<std::uint64_t>(block) - 1) * ItemStore::kBlockSize;
}

// First block of the first run of count free blocks, reading the bitmap in chunks.
std::uint64_t FindFreeRun(const BinaryFile& bmp, std::uint64_t itmBlocks, std::uint64_t count) {
    const std::uint64_t bmpSize = bmp.Size();
    std::vector<std::uint8_t> chunk;
    bitmap::FreeRunSearch search(count);
    for (std::uint64_t at = 0; at < bmpSize; at += chunk.size()) {
        chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kBitmapChunk, bmpSize - at)));
        chunk.resize(bmp.ReadAt(at, chunk));
        if (chunk.empty()) {
            break;
        }
        if (search.Feed(at, chunk)) {
            return search.start();
        }
    }
    return search.Finish(bmpSize, itmBlocks);
}

}  // namespace

ItemStore::ItemStore(std::filesystem::path itmFile, std::filesystem::path bmpFile)
    : itmFile_(std::move(itmFile)), bmpFile_(std::move(bmpFile)) {}

ItemStore::ItemStore(std::filesystem::path itmFile, std::filesystem::path bmpFile,
                     const Cipher& cipher)
    : itmFile_(std::move(itmFile)), bmpFile_(std::move(bmpFile)), cipher_(&cipher) {}

BlockNumber ItemStore::StoreItem(std::span<const std::uint8_t> cipherData, std::int32_t count,
                                 std::int32_t expire, double expireDate) {
    if (count < 2 || cipherData.size() != static_cast<std::size_t>(count - 1) * kBlockSize) {
        throw std::invalid_argument("StoreItem: data does not fill count - 1 blocks");
    }
    BinaryFile itm(itmFile_, BinaryFile::Mode::kReadWrite);
    BinaryFile bmp(bmpFile_, BinaryFile::Mode::kReadWrite);
    const std::uint64_t itmBlocks = (itm.Size() + kBlockSize - 1) / kBlockSize;
    const std::uint64_t bmpSize = bmp.Size();
    const std::uint64_t first = FindFreeRun(bmp, itmBlocks, static_cast<std::uint64_t>(count));
    const std::uint64_t last = first + static_cast<std::uint64_t>(count) - 1;
    if (last > kMaxBlock) {
        throw StorageError(bmpFile_, "空きブロックがありません");
    }

    // The bitmap bytes from the run's first byte to its last, grown over any gap
    // past the old end (gap blocks inside the item file stay marked as used).
    const bitmap::ByteRange range = bitmap::BytesFor(first, last, bmpSize);
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(range.last - range.first + 1), 0);
    if (range.first < bmpSize) {
        const auto known =
            static_cast<std::size_t>(std::min(range.last + 1, bmpSize) - range.first);
        bmp.ReadAt(range.first, std::span(bits).first(known));
    }
    bitmap::MarkAllocated(bits, range, bmpSize, itmBlocks, first, last);

    const std::vector<std::uint8_t> record = EncodeRecord({count, expire, expireDate}, cipherData);

    // Bitmap first: an interruption then leaves at worst blocks marked in use that no
    // index line names, never an index line naming unwritten blocks (the caller
    // rewrites the index only after this returns).
    bmp.WriteAt(range.first, bits);
    itm.WriteAt(Offset(static_cast<BlockNumber>(first)), record);
    bmp.Sync();
    itm.Sync();
    return static_cast<BlockNumber>(first);
}

RecordHeader ItemStore::ReadHeader(BlockNumber block) const {
    return ItemReader(itmFile_).ReadHeader(block);
}

ItemRecord ItemStore::LoadItem(BlockNumber block) const {
    return Reader().Load(block);
}

SecureBytes ItemStore::ReadItemData(BlockNumber block) const {
    return Reader().ReadData(block);
}

ItemReader ItemStore::Reader() const {
    return cipher_ != nullptr ? ItemReader(itmFile_, *cipher_) : ItemReader(itmFile_);
}

void ItemStore::FreeItem(BlockNumber block) {
    const RecordHeader header = ReadHeader(block);
    const std::uint64_t first = static_cast<std::uint64_t>(block);
    const std::uint64_t last = first + static_cast<std::uint64_t>(header.count) - 1;
    // Zeros before the bitmap: cut short in between, the blocks stay allocated with
    // nothing in them. ReadHeader checked that they lie inside the file; no index
    // line names the record any more, so nothing reads them again.
    {
        BinaryFile itm(itmFile_, BinaryFile::Mode::kReadWrite);
        const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(header.count) * kBlockSize,
                                              0);
        itm.WriteAt(Offset(block), zeros);
    }
    BinaryFile bmp(bmpFile_, BinaryFile::Mode::kReadWrite);
    const std::uint64_t fromByte = (first - 1) / 8;
    // Bits past the bitmap's end already read as free; the bitmap never grows here.
    const std::uint64_t bmpSize = bmp.Size();
    if (fromByte >= bmpSize) {
        return;
    }
    const std::uint64_t toByte = std::min((last - 1) / 8, bmpSize - 1);
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(toByte - fromByte + 1), 0);
    bits.resize(bmp.ReadAt(fromByte, bits));
    for (std::uint64_t b = first; b <= last; ++b) {
        const std::uint64_t index = b - 1 - fromByte * 8;
        if (index / 8 < bits.size()) {
            bits[index / 8] &= static_cast<std::uint8_t>(~(1u << (index % 8)));
        }
    }
    bmp.WriteAt(fromByte, bits);
}

}  // namespace zorvan
