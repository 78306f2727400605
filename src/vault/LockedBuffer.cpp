#include "vault/LockedBuffer.h"

#include <sodium.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

namespace zorvan {

void EnsureSodium() {
    // sodium_init is itself safe to repeat and to race; it answers 1 once done.
    if (sodium_init() < 0) {
        throw std::runtime_error("libsodium could not start");
    }
}

LockedBuffer::LockedBuffer(std::size_t size) {
    EnsureSodium();
    // sodium_malloc(0) is allowed but still costs guard pages; one byte keeps
    // data() valid without special cases.
    data_ = static_cast<std::uint8_t*>(sodium_malloc(std::max<std::size_t>(size, 1)));
    if (data_ == nullptr) {
        throw std::bad_alloc();
    }
    sodium_memzero(data_, std::max<std::size_t>(size, 1));
    size_ = size;
}

LockedBuffer::LockedBuffer(std::span<const std::uint8_t> bytes) : LockedBuffer(bytes.size()) {
    std::copy(bytes.begin(), bytes.end(), data_);
}

LockedBuffer::LockedBuffer(LockedBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

LockedBuffer& LockedBuffer::operator=(LockedBuffer&& other) noexcept {
    if (this != &other) {
        LockedBuffer old(std::move(*this));
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

LockedBuffer::~LockedBuffer() {
    sodium_free(data_);  // wipes before it unmaps; null is allowed
}

}  // namespace zorvan
