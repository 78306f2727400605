#pragma once

#include <cstdint>
#include <span>

#include "vault/Cipher.h"

// The process-wide current key. The password dialog installs it, the master
// password change and restore switch it; item storage only uses it.
namespace zorvan::CyrptFunction {

// Replaces the current key for everybody.
void SetCipherKey(std::span<const std::uint8_t> keyMaterial);
void EncryptBytes(std::span<std::uint8_t> bytes);
void DecryptBytes(std::span<std::uint8_t> bytes);
const Cipher& CurrentCipher();

}  // namespace zorvan::CyrptFunction
