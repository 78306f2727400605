#pragma once

#include <cstdint>
#include <filesystem>

#include "platform/BinaryFile.h"
#include "platform/SecureBytes.h"
#include "vault/BlockNumber.h"
#include "vault/ItemRecord.h"

namespace zorvan {

// The plain header block of a record.
struct RecordHeader {
    std::int32_t count = 0;  // blocks of the record, header included
    std::int32_t expire = 0;
    double expireDate = 0.0;
};

// Reads records from the item file through one open handle, so that loading a
// whole group costs one read per record. Every record is checked against the file's
// extent before anything is allocated for it; damage throws StorageError naming
// the file and the block. Records are deciphered with the current key.
class ItemReader {
public:
    static constexpr std::uint64_t kBlockSize = 16;

    explicit ItemReader(const std::filesystem::path& itmFile);

    RecordHeader ReadHeader(BlockNumber block);
    ItemRecord Load(BlockNumber block);
    SecureBytes ReadData(BlockNumber block);

private:
    // Header and deciphered data of the record.
    RecordHeader ReadRecord(BlockNumber block, SecureBytes* data);

    BinaryFile file_;
    std::uint64_t size_;
};

}  // namespace zorvan
