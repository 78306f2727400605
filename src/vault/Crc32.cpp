#include "vault/Crc32.h"

#include <array>

namespace zorvan {

namespace {

constexpr std::array<std::uint32_t, 256> MakeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

constexpr auto kTable = MakeTable();

}  // namespace

void Crc32::Add(std::span<const std::uint8_t> bytes) noexcept {
    std::uint32_t c = state_;
    for (const std::uint8_t b : bytes) {
        c = kTable[(c ^ b) & 0xFF] ^ (c >> 8);
    }
    state_ = c;
}

}  // namespace zorvan
