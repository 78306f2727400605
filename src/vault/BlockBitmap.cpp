#include "vault/BlockBitmap.h"

#include <algorithm>

namespace zorvan::bitmap {

namespace {

void SetBit(std::span<std::uint8_t> bits, std::uint64_t fromByte, std::uint64_t block) {
    const std::uint64_t index = block - 1 - fromByte * 8;
    bits[static_cast<std::size_t>(index / 8)] |= static_cast<std::uint8_t>(1u << (index % 8));
}

}  // namespace

bool FreeRunSearch::Feed(std::uint64_t at, std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t byte = bytes[i];
        if (byte == 0xFF) {
            runLength_ = 0;
            continue;
        }
        for (unsigned bit = 0; bit < 8; ++bit) {
            if ((byte >> bit) & 1) {
                runLength_ = 0;
            } else if (runLength_++ == 0) {
                runStart_ = (at + i) * 8 + bit + 1;
            }
            if (runLength_ == count_) {
                return true;
            }
        }
    }
    return false;
}

std::uint64_t FreeRunSearch::Finish(std::uint64_t bitmapBytes, std::uint64_t itmBlocks) const {
    const std::uint64_t mapped = bitmapBytes * 8;
    if (itmBlocks > mapped) {
        return itmBlocks + 1;
    }
    return runLength_ > 0 ? runStart_ : mapped + 1;
}

ByteRange BytesFor(std::uint64_t first, std::uint64_t last, std::uint64_t bitmapBytes) {
    return {std::min((first - 1) / 8, bitmapBytes), (last - 1) / 8};
}

void MarkAllocated(std::span<std::uint8_t> bits, ByteRange range, std::uint64_t bitmapBytes,
                   std::uint64_t itmBlocks, std::uint64_t first, std::uint64_t last) {
    const std::uint64_t mapped = bitmapBytes * 8;
    for (std::uint64_t block = std::max(mapped + 1, range.first * 8 + 1);
         block <= std::min(itmBlocks, (range.last + 1) * 8); ++block) {
        SetBit(bits, range.first, block);
    }
    for (std::uint64_t block = first; block <= last; ++block) {
        SetBit(bits, range.first, block);
    }
}

}  // namespace zorvan::bitmap
