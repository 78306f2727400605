#include "vault/SealedFile.h"

#include <sodium.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/StorageError.h"

namespace zorvan::sealed {

namespace {

constexpr std::array<std::uint8_t, 8> kMagic{'Z', 'O', 'R', 'V', 'A', 'N', 'P', 'V'};
constexpr std::uint16_t kVersion = 1;
constexpr std::uint16_t kArgon2id = 1;

static_assert(crypto_pwhash_SALTBYTES == 16);
static_assert(crypto_aead_xchacha20poly1305_ietf_NPUBBYTES == 24);
static_assert(crypto_aead_xchacha20poly1305_ietf_ABYTES == kTagSize);
static_assert(crypto_aead_xchacha20poly1305_ietf_KEYBYTES == kKeySize);

template <typename T>
void Put(std::uint8_t* at, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

template <typename T>
T Get(const std::uint8_t* at) {
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        value |= static_cast<T>(at[i]) << (8 * i);
    }
    return value;
}

}  // namespace

std::array<std::uint8_t, kHeaderSize> EncodeHeader(const SealedHeader& header) {
    std::array<std::uint8_t, kHeaderSize> bytes{};
    std::copy(kMagic.begin(), kMagic.end(), bytes.begin());
    Put<std::uint16_t>(&bytes[8], kVersion);
    Put<std::uint16_t>(&bytes[10], kArgon2id);
    Put<std::uint32_t>(&bytes[12], header.kdf.opslimit);
    Put<std::uint64_t>(&bytes[16], header.kdf.memlimit);
    std::copy(header.salt.begin(), header.salt.end(), &bytes[24]);
    Put<std::uint64_t>(&bytes[40], header.generation);
    std::copy(header.nonce.begin(), header.nonce.end(), &bytes[48]);
    return bytes;
}

SealedHeader DecodeHeader(std::span<const std::uint8_t> bytes, const std::filesystem::path& file) {
    if (bytes.size() < kMagic.size() || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
        throw StorageError(file, "保護された保管庫のファイルではありません。");
    }
    if (bytes.size() < kHeaderSize + kTagSize) {
        throw StorageError(file, "保護された保管庫のファイルが途中で切れています。");
    }
    if (Get<std::uint16_t>(&bytes[8]) != kVersion || Get<std::uint16_t>(&bytes[10]) != kArgon2id) {
        throw StorageError(file, "このバージョンでは開けない形式の保管庫です。");
    }
    SealedHeader header;
    header.kdf.opslimit = Get<std::uint32_t>(&bytes[12]);
    header.kdf.memlimit = Get<std::uint64_t>(&bytes[16]);
    if (header.kdf.opslimit < kKdfFloor.opslimit || header.kdf.memlimit < kKdfFloor.memlimit) {
        throw StorageError(file,
                           "鍵の導出の強さが下限に足りないため、この保管庫は開きません。"
                           "ファイルが書き換えられたおそれがあります。");
    }
    if (header.kdf.opslimit > kKdfCeiling.opslimit || header.kdf.memlimit > kKdfCeiling.memlimit) {
        throw StorageError(file,
                           "鍵の導出に求められる時間かメモリーが大きすぎるため、この保管庫は"
                           "開きません。ファイルが書き換えられたおそれがあります。");
    }
    std::copy(&bytes[24], &bytes[40], header.salt.begin());
    header.generation = Get<std::uint64_t>(&bytes[40]);
    std::copy(&bytes[48], &bytes[72], header.nonce.begin());
    return header;
}

SealedKey DeriveKey(std::string_view password, const KdfParams& kdf) {
    EnsureSodium();
    std::array<std::uint8_t, 16> salt{};
    randombytes_buf(salt.data(), salt.size());
    return DeriveKey(password, kdf, salt);
}

SealedKey DeriveKey(std::string_view password, const KdfParams& kdf,
                    const std::array<std::uint8_t, 16>& salt) {
    SealedKey sealedKey{LockedBuffer(kKeySize), kdf, salt};
    if (crypto_pwhash(sealedKey.key.data(), kKeySize, password.data(), password.size(), salt.data(),
                      kdf.opslimit, static_cast<std::size_t>(kdf.memlimit),
                      crypto_pwhash_ALG_ARGON2ID13) != 0) {
        // Argon2id fails only when its memory cannot be had.
        throw std::bad_alloc();
    }
    return sealedKey;
}

std::vector<std::uint8_t> Seal(std::span<const std::uint8_t> contents, const SealedKey& key,
                               std::uint64_t generation) {
    EnsureSodium();
    SealedHeader header{key.kdf, key.salt, generation, {}};
    randombytes_buf(header.nonce.data(), header.nonce.size());
    const auto head = EncodeHeader(header);
    std::vector<std::uint8_t> file(kHeaderSize + contents.size() + kTagSize);
    std::copy(head.begin(), head.end(), file.begin());
    unsigned long long sealedLength = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(&file[kHeaderSize], &sealedLength, contents.data(),
                                               contents.size(), head.data(), head.size(), nullptr,
                                               header.nonce.data(), key.key.data());
    return file;
}

std::optional<LockedBuffer> Unseal(std::span<const std::uint8_t> file, const SealedKey& key) {
    if (file.size() < kHeaderSize + kTagSize) {
        return std::nullopt;
    }
    LockedBuffer contents(file.size() - kHeaderSize - kTagSize);
    const std::uint8_t* nonce = &file[48];
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            contents.data(), nullptr, nullptr, &file[kHeaderSize], file.size() - kHeaderSize,
            file.data(), kHeaderSize, nonce, key.key.data()) != 0) {
        return std::nullopt;
    }
    return contents;
}

KdfParams Calibrate(double seconds) {
    const auto timed = [](const KdfParams& kdf) {
        const auto start = std::chrono::steady_clock::now();
        DeriveKey("calibration", kdf);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    KdfParams kdf = kKdfFloor;
    timed(kdf);  // the first run also pays for mapping the memory
    // The time grows in proportion to the passes; a check run then makes sure the
    // target is met, since the machine's speed varies from run to run.
    for (int round = 0; round < 4; ++round) {
        const double took = timed(kdf);
        if (took >= seconds || kdf.opslimit >= kKdfCeiling.opslimit) {
            break;
        }
        const double passes = std::ceil(kdf.opslimit * seconds * 1.1 / std::max(took, 1e-3));
        kdf.opslimit = static_cast<std::uint32_t>(
            std::clamp<double>(passes, kdf.opslimit + 1.0, kKdfCeiling.opslimit));
    }
    return kdf;
}

}  // namespace zorvan::sealed
