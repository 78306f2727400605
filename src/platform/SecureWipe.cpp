#include "platform/SecureWipe.h"

namespace zorvan {

void SecureWipe(void* data, std::size_t size) noexcept {
    // Writing through a volatile pointer keeps the stores even when the buffer
    // is about to be freed.
    auto* p = static_cast<volatile unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        p[i] = 0;
    }
}

}  // namespace zorvan
