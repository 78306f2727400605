#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/SecureBytes.h"

namespace zorvan {

// The vault's record cipher: a key table of 8 rows (A, B, C) made from up to 16
// bytes of key material, enciphering 16-byte units in place. The arithmetic is
// part of the file format and must not change, weaknesses included.
class Cipher {
public:
    static constexpr std::size_t kUnit = 16;
    static constexpr std::size_t kKeyBytes = 16;

    struct KeyTable {
        std::array<std::uint8_t, 8> A{};
        std::array<std::uint8_t, 8> B{};
        std::array<std::uint8_t, 8> C{};
    };

    Cipher() = default;
    // Only the first 16 bytes count; missing positions are skipped.
    explicit Cipher(std::span<const std::uint8_t> keyMaterial);
    Cipher(const Cipher&) = default;
    Cipher& operator=(const Cipher&) = default;
    ~Cipher();

    // Whole 16-byte units are processed; a trailing partial unit is left as it is.
    void Encrypt(std::span<std::uint8_t> bytes) const noexcept;
    void Decrypt(std::span<std::uint8_t> bytes) const noexcept;

    const KeyTable& table() const noexcept { return table_; }

private:
    KeyTable table_;
};

// The key material of a password: its code page 932 bytes, cut to 16 and padded
// with zero bytes to 16.
SecureBytes KeyBytes(std::string_view password);

// Upper-case hexadecimal of each byte without leading zeros, joined (0 -> "0",
// 31 -> "1F"). Cannot be split back; compared only as a whole.
std::string CheckValueText(std::span<const std::uint8_t> enciphered);

// The check value of key bytes: the bytes enciphered under their own key table.
SecureBytes CheckBlock(std::span<const std::uint8_t> keyBytes);

// The check value stored for a password (settings key "pass", backups).
std::string CheckValue(std::string_view password);

}  // namespace zorvan
