#include "vault/Cipher.h"

#include "platform/Codepage.h"
#include "platform/SecureWipe.h"

namespace zorvan {

Cipher::Cipher(std::span<const std::uint8_t> keyMaterial) {
    table_.C.fill(1);
    std::array<std::uint8_t, 16> d{};
    unsigned acc = 0;
    for (unsigned j = 0; j < 16; ++j) {
        if (j < keyMaterial.size()) {
            acc = acc + 256 - keyMaterial[j];
        }
        // At j = 0 this makes acc 1 whatever the first byte was.
        acc = (acc * j + 1) % 256;
        d[j] = static_cast<std::uint8_t>(acc);
        auto& c = table_.C[j % 8];
        c = static_cast<std::uint8_t>((c * acc + 1) % 256);
    }
    for (unsigned r = 0; r < 8; ++r) {
        for (unsigned q = 0; q < 8; ++q) {
            if (((d[2 * q] >> r) & 1) == 0) {
                table_.A[r] |= static_cast<std::uint8_t>(1u << q);
            }
            if (((d[2 * q + 1] >> r) & 1) == 0) {
                table_.B[r] |= static_cast<std::uint8_t>(1u << q);
            }
        }
    }
    SecureWipe(d.data(), d.size());
}

Cipher::~Cipher() {
    SecureWipe(&table_, sizeof table_);
}

void Cipher::Encrypt(std::span<std::uint8_t> bytes) const noexcept {
    const std::size_t units = bytes.size() / kUnit;
    std::uint8_t* unit = bytes.data();
    for (std::size_t u = 0; u < units; ++u, unit += kUnit) {
        for (std::size_t j = 0; j < 8; ++j) {
            const std::uint8_t x = unit[j];
            const std::uint8_t y = unit[8 + j];
            const std::uint8_t e = static_cast<std::uint8_t>((y + table_.A[j]) ^ x);
            const std::uint8_t y2 = static_cast<std::uint8_t>((e + table_.B[j]) ^ y);
            const std::uint8_t x2 = static_cast<std::uint8_t>((y2 + table_.C[j]) ^ e);
            unit[8 + j] = y2;
            unit[j] = x2;
        }
    }
}

void Cipher::Decrypt(std::span<std::uint8_t> bytes) const noexcept {
    const std::size_t units = bytes.size() / kUnit;
    std::uint8_t* unit = bytes.data();
    for (std::size_t u = 0; u < units; ++u, unit += kUnit) {
        for (std::size_t j = 0; j < 8; ++j) {
            const std::uint8_t x2 = unit[j];
            const std::uint8_t y2 = unit[8 + j];
            const std::uint8_t e = static_cast<std::uint8_t>((y2 + table_.C[j]) ^ x2);
            const std::uint8_t y = static_cast<std::uint8_t>((e + table_.B[j]) ^ y2);
            const std::uint8_t x = static_cast<std::uint8_t>((y + table_.A[j]) ^ e);
            unit[8 + j] = y;
            unit[j] = x;
        }
    }
}

SecureBytes KeyBytes(std::string_view password) {
    std::string ansi = codepage::ToAnsi(password);
    SecureBytes key(Cipher::kKeyBytes);
    for (std::size_t i = 0; i < key.size() && i < ansi.size(); ++i) {
        key[i] = static_cast<std::uint8_t>(ansi[i]);
    }
    SecureWipe(ansi);
    return key;
}

std::string CheckValueText(std::span<const std::uint8_t> enciphered) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t b : enciphered) {
        if (b >= 16) {
            text += kDigits[b >> 4];
        }
        text += kDigits[b & 15];
    }
    return text;
}

SecureBytes CheckBlock(std::span<const std::uint8_t> keyBytes) {
    SecureBytes block(keyBytes);
    Cipher(keyBytes).Encrypt(block.span());
    return block;
}

std::string CheckValue(std::string_view password) {
    const SecureBytes key = KeyBytes(password);
    return CheckValueText(CheckBlock(key.span()).span());
}

}  // namespace zorvan
