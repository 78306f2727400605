#pragma once

#include <cstdint>
#include <span>

// The rules of the block bitmap, kept in one place because ItemStore (one record,
// reading the bitmap file) and RecordBatch (many records, the bitmap in memory)
// must allocate exactly alike: the files are compared byte for byte. Block b is
// bit (b - 1) % 8 of byte (b - 1) / 8; a set bit is a used block.
namespace zorvan::bitmap {

// First fit: the first run of count free blocks, over bitmap bytes fed in order.
class FreeRunSearch {
public:
    explicit FreeRunSearch(std::uint64_t count) : count_(count) {}

    // Bitmap bytes from byte index at on, following those fed before. True once a
    // run of count free blocks is complete; start() is then its first block.
    bool Feed(std::uint64_t at, std::span<const std::uint8_t> bytes);

    // Where the run goes when the bitmap (bitmapBytes long) ended without one. Blocks
    // past its end but inside the item file (itmBlocks) count as used: a bitmap
    // shorter than the item file has lost track of them and they may hold records.
    std::uint64_t Finish(std::uint64_t bitmapBytes, std::uint64_t itmBlocks) const;

    std::uint64_t start() const noexcept { return runStart_; }

private:
    std::uint64_t count_;
    std::uint64_t runStart_ = 0;
    std::uint64_t runLength_ = 0;
};

// The bitmap bytes, first to last inclusive, that allocating blocks first..last
// writes: from the run's first byte to its last, reaching back to the old end of a
// bitmap (bitmapBytes long) that the run lies past.
struct ByteRange {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
};
ByteRange BytesFor(std::uint64_t first, std::uint64_t last, std::uint64_t bitmapBytes);

// Marks blocks first..last used in bits, the bitmap's bytes from range.first on
// (range from BytesFor). Blocks within range that lie past the old bitmap's end
// (bitmapBytes) but inside the item file (itmBlocks) are marked used as well, as
// the search counted them.
void MarkAllocated(std::span<std::uint8_t> bits, ByteRange range, std::uint64_t bitmapBytes,
                   std::uint64_t itmBlocks, std::uint64_t first, std::uint64_t last);

}  // namespace zorvan::bitmap
