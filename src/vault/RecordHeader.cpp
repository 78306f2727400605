#include "vault/RecordHeader.h"

#include <bit>
#include <cstring>

namespace zorvan {

static_assert(std::endian::native == std::endian::little,
              "record headers are little-endian, as the host");

RecordHeader DecodeRecordHeader(std::span<const std::uint8_t, kRecordHeaderSize> bytes) {
    RecordHeader header;
    std::memcpy(&header.count, bytes.data(), 4);
    std::memcpy(&header.expire, bytes.data() + 4, 4);
    std::memcpy(&header.expireDate, bytes.data() + 8, 8);
    return header;
}

std::vector<std::uint8_t> EncodeRecord(const RecordHeader& header,
                                       std::span<const std::uint8_t> cipherData) {
    std::vector<std::uint8_t> record(kRecordHeaderSize + cipherData.size());
    std::memcpy(record.data(), &header.count, 4);
    std::memcpy(record.data() + 4, &header.expire, 4);
    std::memcpy(record.data() + 8, &header.expireDate, 8);
    if (!cipherData.empty()) {
        std::memcpy(record.data() + kRecordHeaderSize, cipherData.data(), cipherData.size());
    }
    return record;
}

}  // namespace zorvan
