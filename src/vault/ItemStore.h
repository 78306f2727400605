#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "platform/SecureBytes.h"
#include "vault/BlockNumber.h"
#include "vault/ItemReader.h"
#include "vault/ItemRecord.h"

namespace zorvan {

// The item file of 16-byte blocks and its block bitmap. A record is a plain header
// block (count, expiry flags, expiry date) followed by count - 1 enciphered data
// blocks; it is named by its first block and never moves. Every operation opens and
// closes the files; damaged data throws StorageError naming the file and the block.
class ItemStore {
public:
    static constexpr std::uint64_t kBlockSize = 16;

    // Without a key the store allocates, frees and reads headers, but loads nothing.
    ItemStore(std::filesystem::path itmFile, std::filesystem::path bmpFile);
    ItemStore(std::filesystem::path itmFile, std::filesystem::path bmpFile, const Cipher& cipher);

    // Allocates the first run of count free blocks, marks it in the bitmap, writes
    // the record and forces both files to disk before returning its first block.
    // cipherData must hold (count - 1) * 16 bytes.
    BlockNumber StoreItem(std::span<const std::uint8_t> cipherData, std::int32_t count,
                          std::int32_t expire, double expireDate);

    // The record deciphered with the store's key. To load many, use ItemReader.
    ItemRecord LoadItem(BlockNumber block) const;

    // The record's data blocks deciphered with the store's key.
    SecureBytes ReadItemData(BlockNumber block) const;

    // The record's header, checked against the item file's extent.
    RecordHeader ReadHeader(BlockNumber block) const;

    // Overwrites the record with zeros and marks its blocks free. Call it only once
    // no index line names the record.
    void FreeItem(BlockNumber block);

    const std::filesystem::path& itmFile() const noexcept { return itmFile_; }
    const std::filesystem::path& bmpFile() const noexcept { return bmpFile_; }

private:
    ItemReader Reader() const;

    std::filesystem::path itmFile_;
    std::filesystem::path bmpFile_;
    const Cipher* cipher_ = nullptr;
};

}  // namespace zorvan
