#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <utility>
#include <vector>

#include "platform/BinaryFile.h"
#include "vault/BlockNumber.h"

namespace zorvan {

// Stores many records at once. Blocks are allocated exactly as ItemStore::StoreItem
// allocates them, one record after the other (first fit; blocks past the bitmap's
// end but inside the item file count as used), so the files end up byte for byte
// as a StoreItem per record would leave them. The bitmap is kept in memory and both
// files are forced to disk once, in Commit, instead of twice per record.
class RecordBatch {
public:
    RecordBatch(const std::filesystem::path& itmFile, const std::filesystem::path& bmpFile);

    // Writes the record (cipherData holds (count - 1) * 16 bytes) into the item file
    // and returns its first block. Its blocks count as used from now on, but the
    // bitmap file only learns of them in Commit.
    BlockNumber Store(std::span<const std::uint8_t> cipherData, std::int32_t count,
                      std::int32_t expire, double expireDate);

    // Writes the bitmap bytes the stored records changed and forces both files to
    // disk. Only after this may an index line name the stored records.
    void Commit();

    std::size_t stored() const noexcept { return stored_; }

private:
    std::uint64_t FindFreeRun(std::uint64_t count) const;
    // No run of at least count free blocks starts before the block this gives.
    std::uint64_t KnownFirstStart(std::uint64_t count) const;
    void MarkUsed(std::uint64_t first, std::uint64_t last, std::uint64_t itmBlocksBefore);

    BinaryFile itm_;
    BinaryFile bmp_;
    std::vector<std::uint8_t> bits_;
    std::uint64_t itmSize_ = 0;
    // Every bitmap byte before this one is full, so a search may start here.
    std::uint64_t firstOpenByte_ = 0;
    // Where each earlier search (by its count) found its run. Blocks only ever
    // become used within a batch, so no later run of that count or more starts
    // before: a small hole near the start is not scanned past again and again.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> foundAt_;
    std::uint64_t dirtyFrom_ = 0;
    std::uint64_t dirtyTo_ = 0;
    bool dirty_ = false;
    std::size_t stored_ = 0;
};

}  // namespace zorvan
