#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "vault/LockedBuffer.h"

namespace zorvan {

// Argon2id's cost: passes over the memory, and the memory in bytes.
struct KdfParams {
    std::uint32_t opslimit = 0;
    std::uint64_t memlimit = 0;
    bool operator==(const KdfParams&) const = default;
};

// The weakest parameters a file may ask for: a file that asks for less is refused,
// whatever else it holds, so that a forged file cannot make guessing cheap.
inline constexpr KdfParams kKdfFloor{2, 64ull << 20};
// The most a file may ask for: more would freeze the program or exhaust memory.
inline constexpr KdfParams kKdfCeiling{64, 4ull << 30};

// The protected vault file: a 72-byte header, then the vault's contents sealed with
// XChaCha20-Poly1305 under a key derived from the master password with Argon2id.
// The whole header is authenticated with the contents, so no byte of it can be
// changed unnoticed. Nothing in the file allows a password to be tested other than
// by deriving the key and opening the seal.
//
//   0  8  "ZORVANPV"          40  8  generation, counted up by every write
//   8  2  format version (1)  48 24  nonce, fresh for every write
//  10  2  KDF (1: Argon2id)   72  ...  sealed contents, 16-byte tag at the end
//  12  4  opslimit
//  16  8  memlimit
//  24 16  salt
// Numbers are little-endian.
struct SealedHeader {
    KdfParams kdf;
    std::array<std::uint8_t, 16> salt{};
    std::uint64_t generation = 0;
    std::array<std::uint8_t, 24> nonce{};
};

// The key of an open protected vault with what it was derived with.
struct SealedKey {
    LockedBuffer key;  // 32 bytes
    KdfParams kdf;
    std::array<std::uint8_t, 16> salt{};
};

namespace sealed {

inline constexpr std::size_t kHeaderSize = 72;
inline constexpr std::size_t kTagSize = 16;
inline constexpr std::size_t kKeySize = 32;

std::array<std::uint8_t, kHeaderSize> EncodeHeader(const SealedHeader& header);
// Reads the header at the start of bytes. Throws StorageError naming file, in words
// for the user, when the bytes are no protected vault, of a version this program
// does not know, too short to hold a seal, or ask for parameters outside the floor
// and the ceiling.
SealedHeader DecodeHeader(std::span<const std::uint8_t> bytes, const std::filesystem::path& file);

// Derives a key with a fresh random salt, or with the salt given.
SealedKey DeriveKey(std::string_view password, const KdfParams& kdf);
SealedKey DeriveKey(std::string_view password, const KdfParams& kdf,
                    const std::array<std::uint8_t, 16>& salt);

// The whole file for contents: header (with a fresh nonce) and seal.
std::vector<std::uint8_t> Seal(std::span<const std::uint8_t> contents, const SealedKey& key,
                               std::uint64_t generation);
// The contents of a file whose header was decoded with DecodeHeader; nothing when
// the seal does not open: a wrong password, or a file that was changed.
std::optional<LockedBuffer> Unseal(std::span<const std::uint8_t> file, const SealedKey& key);

// Parameters at the floor's memory whose derivation takes at least seconds here
// (measured once), but never below the floor nor above the ceiling.
KdfParams Calibrate(double seconds);

}  // namespace sealed
}  // namespace zorvan
