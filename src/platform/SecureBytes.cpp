#include "platform/SecureBytes.h"

#include <algorithm>

#include "platform/SecureWipe.h"

namespace zorvan {

SecureBytes& SecureBytes::operator=(SecureBytes&& other) noexcept {
    if (this != &other) {
        SecureWipe(bytes_.data(), bytes_.size());
        bytes_ = std::move(other.bytes_);
    }
    return *this;
}

SecureBytes::~SecureBytes() {
    SecureWipe(bytes_.data(), bytes_.size());
}

void SecureBytes::Resize(std::size_t size) {
    if (size <= bytes_.capacity()) {
        if (size < bytes_.size()) {
            SecureWipe(bytes_.data() + size, bytes_.size() - size);
        }
        bytes_.resize(size, 0);
        return;
    }
    std::vector<std::uint8_t> grown(size, 0);
    std::copy(bytes_.begin(), bytes_.end(), grown.begin());
    SecureWipe(bytes_.data(), bytes_.size());
    bytes_ = std::move(grown);
}

}  // namespace zorvan
