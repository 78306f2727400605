#pragma once

#include <cstddef>
#include <string>

namespace zorvan {

// Overwrites memory with zeros in a way the optimiser may not drop, for buffers
// that held passwords, keys or deciphered item data.
void SecureWipe(void* data, std::size_t size) noexcept;

// Wipes the string's whole buffer, the spare capacity past its end included
// (a string that shrank keeps its old characters there), and empties it.
inline void SecureWipe(std::string& text) noexcept {
    // Growing within the capacity never reallocates, and makes every byte of the
    // buffer part of the string.
    text.resize(text.capacity());
    SecureWipe(text.data(), text.size());
    text.clear();
}

}  // namespace zorvan
