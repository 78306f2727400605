#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zorvan {

// Bytes for the protected format's secrets (its key, the deciphered vault) in
// libsodium's guarded memory: locked out of swap, kept out of core dumps, fenced
// by guard pages and wiped when freed. Its size is fixed; moving hands the memory on.
class LockedBuffer {
public:
    LockedBuffer() = default;
    // Zeroed bytes. Throws std::bad_alloc.
    explicit LockedBuffer(std::size_t size);
    explicit LockedBuffer(std::span<const std::uint8_t> bytes);
    LockedBuffer(LockedBuffer&& other) noexcept;
    LockedBuffer& operator=(LockedBuffer&& other) noexcept;
    LockedBuffer(const LockedBuffer&) = delete;
    LockedBuffer& operator=(const LockedBuffer&) = delete;
    ~LockedBuffer();

    std::uint8_t* data() noexcept { return data_; }
    const std::uint8_t* data() const noexcept { return data_; }
    std::size_t size() const noexcept { return size_; }
    std::span<std::uint8_t> span() noexcept { return {data_, size_}; }
    std::span<const std::uint8_t> span() const noexcept { return {data_, size_}; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// Makes libsodium ready; safe to call often and from any thread. Throws
// std::runtime_error when it cannot start (no source of randomness).
void EnsureSodium();

}  // namespace zorvan
