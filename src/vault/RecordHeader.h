#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zorvan {

// The plain header block of a record.
struct RecordHeader {
    std::int32_t count = 0;  // blocks of the record, header included
    std::int32_t expire = 0;
    double expireDate = 0.0;
};

// The header block's 16 bytes, little-endian as the host: count (4 bytes), expire
// (4), expireDate (8).
inline constexpr std::size_t kRecordHeaderSize = 16;

RecordHeader DecodeRecordHeader(std::span<const std::uint8_t, kRecordHeaderSize> bytes);

// The whole record as the item file holds it: the header block, then cipherData.
std::vector<std::uint8_t> EncodeRecord(const RecordHeader& header,
                                       std::span<const std::uint8_t> cipherData);

}  // namespace zorvan
