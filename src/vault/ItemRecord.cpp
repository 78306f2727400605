#include "vault/ItemRecord.h"

#include "platform/Codepage.h"
#include "platform/SecureWipe.h"

namespace zorvan {

std::string WithoutCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

ItemRecord::~ItemRecord() {
    for (auto* text : {&ItemName, &AccountID, &AccountPass, &RelatedURL, &AccountMemo}) {
        SecureWipe(*text);
    }
}

ItemPlaintext BuildItemPlaintext(const ItemRecord& item) {
    std::string lines[4] = {WithoutCrLf(item.ItemName), WithoutCrLf(item.AccountID),
                            WithoutCrLf(item.AccountPass), WithoutCrLf(item.RelatedURL)};
    std::string fields[5] = {
        codepage::ToAnsi(lines[0]), codepage::ToAnsi(lines[1]),         codepage::ToAnsi(lines[2]),
        codepage::ToAnsi(lines[3]), codepage::ToAnsi(item.AccountMemo),
    };
    for (auto& line : lines) {
        SecureWipe(line);
    }
    std::size_t length = 0;
    for (const auto& field : fields) {
        length += field.size() + 1;
    }
    ItemPlaintext plain;
    plain.count = BlockCountFor(length);
    plain.bytes = SecureBytes(static_cast<std::size_t>(plain.count - 1) * 16);
    std::size_t at = 0;
    for (auto& field : fields) {
        for (const char c : field) {
            // A zero byte cannot stand inside a text; it would end it early.
            plain.bytes[at++] =
                c == '\0' ? static_cast<std::uint8_t>(' ') : static_cast<std::uint8_t>(c);
        }
        plain.bytes[at++] = 0;
        SecureWipe(field);
    }
    return plain;
}

}  // namespace zorvan
