#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/SecureBytes.h"

namespace zorvan {

// One account item as the program holds it in memory. Texts are UTF-8; the
// texts are wiped when the record goes away.
struct ItemRecord {
    std::string ItemName;
    std::string AccountID;
    std::string AccountPass;
    std::string RelatedURL;
    std::string AccountMemo;
    std::int32_t Expire = 0;  // bit 0 set: the item expires on ExpireDate
    double ExpireDate = 0.0;  // days since 30 December 1899, fraction = time of day

    ItemRecord() = default;
    ItemRecord(const ItemRecord&) = default;
    ItemRecord(ItemRecord&&) noexcept = default;
    ItemRecord& operator=(const ItemRecord&) = default;
    ItemRecord& operator=(ItemRecord&&) noexcept = default;
    ~ItemRecord();

    bool HasExpiry() const noexcept { return (Expire & 1) != 0; }
    bool operator==(const ItemRecord&) const = default;
};

// The zero-padded plaintext of an item's data blocks and the block count of the
// record that holds it (header included).
struct ItemPlaintext {
    SecureBytes bytes;
    std::int32_t count = 0;
};

// The five texts in code page 932, each followed by a zero byte, padded with zero
// bytes to a multiple of 16. CR LF pairs are dropped from all texts but the memo.
ItemPlaintext BuildItemPlaintext(const ItemRecord& item);

// The text with every CR LF pair removed: the first four fields are single lines.
std::string WithoutCrLf(std::string_view text);

// Blocks of a record whose unpadded plaintext has this many bytes.
constexpr std::int32_t BlockCountFor(std::size_t plaintextLength) {
    return static_cast<std::int32_t>((plaintextLength - 1) / 16 + 2);
}

}  // namespace zorvan
