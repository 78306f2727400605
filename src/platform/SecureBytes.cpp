#include "platform/SecureBytes.h"

#include "platform/SecureWipe.h"

namespace zorvan {

void SecureBytes::Resize(std::size_t size) {
    // Growing past the capacity moves the bytes; the allocator wipes the old block.
    if (size < bytes_.size()) {
        SecureWipe(bytes_.data() + size, bytes_.size() - size);
    }
    bytes_.resize(size, 0);
}

}  // namespace zorvan
