#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/SecureAllocator.h"

namespace zorvan {

// A byte buffer for secrets (key bytes, deciphered records): its memory is locked
// in RAM and wiped when it is freed, and bytes cut off by Resize are wiped at once.
// Copying is explicit to keep copies rare.
class SecureBytes {
public:
    SecureBytes() = default;
    explicit SecureBytes(std::size_t size) : bytes_(size, 0) {}
    explicit SecureBytes(std::span<const std::uint8_t> bytes)
        : bytes_(bytes.begin(), bytes.end()) {}
    SecureBytes(SecureBytes&& other) noexcept = default;
    SecureBytes& operator=(SecureBytes&& other) noexcept = default;
    SecureBytes(const SecureBytes&) = delete;
    SecureBytes& operator=(const SecureBytes&) = delete;
    ~SecureBytes() = default;

    SecureBytes Clone() const { return SecureBytes(span()); }

    std::uint8_t* data() noexcept { return bytes_.data(); }
    const std::uint8_t* data() const noexcept { return bytes_.data(); }
    std::size_t size() const noexcept { return bytes_.size(); }
    std::size_t capacity() const noexcept { return bytes_.capacity(); }
    bool empty() const noexcept { return bytes_.empty(); }
    std::uint8_t& operator[](std::size_t i) noexcept { return bytes_[i]; }
    std::uint8_t operator[](std::size_t i) const noexcept { return bytes_[i]; }
    std::span<std::uint8_t> span() noexcept { return bytes_; }
    std::span<const std::uint8_t> span() const noexcept { return bytes_; }

    // Grows or shrinks without leaving a stale copy behind in freed memory.
    void Resize(std::size_t size);

    bool operator==(const SecureBytes& other) const { return bytes_ == other.bytes_; }

private:
    std::vector<std::uint8_t, SecureAllocator<std::uint8_t>> bytes_;
};

}  // namespace zorvan
