#pragma once

#include <cstddef>
#include <string>

namespace zorvan {

// Overwrites memory with zeros in a way the optimiser may not drop, for buffers
// that held passwords, keys or deciphered item data.
void SecureWipe(void* data, std::size_t size) noexcept;

inline void SecureWipe(std::string& text) noexcept {
    SecureWipe(text.data(), text.size());
    text.clear();
}

}  // namespace zorvan
