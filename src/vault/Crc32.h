#pragma once

#include <cstdint>
#include <span>

namespace zorvan {

// CRC-32 (the polynomial of zip and PNG). The commit journal records one for each
// staged file, so that recovery never installs a file that did not reach the disk
// whole.
class Crc32 {
public:
    void Add(std::span<const std::uint8_t> bytes) noexcept;
    std::uint32_t value() const noexcept { return ~state_; }

    static std::uint32_t Of(std::span<const std::uint8_t> bytes) noexcept {
        Crc32 crc;
        crc.Add(bytes);
        return crc.value();
    }

private:
    std::uint32_t state_ = 0xFFFFFFFFu;
};

}  // namespace zorvan
