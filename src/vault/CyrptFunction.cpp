#include "vault/CyrptFunction.h"

#include "platform/SecureHeap.h"

namespace zorvan::CyrptFunction {

namespace {
Cipher& Current() {
    static Cipher current;
    // The key table of the running program stays in RAM for the process's life.
    static const bool locked = (LockForLife(&current, sizeof current), true);
    (void)locked;
    return current;
}
}  // namespace

void SetCipherKey(std::span<const std::uint8_t> keyMaterial) {
    Current() = Cipher(keyMaterial);
}
void EncryptBytes(std::span<std::uint8_t> bytes) {
    Current().Encrypt(bytes);
}
void DecryptBytes(std::span<std::uint8_t> bytes) {
    Current().Decrypt(bytes);
}
const Cipher& CurrentCipher() {
    return Current();
}

}  // namespace zorvan::CyrptFunction
