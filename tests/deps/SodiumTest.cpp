// The libsodium each build links (Debian's natively, the cross-compiled copy for
// mingw) starts and derives the same argon2id keys; the expected keys also come out
// of Debian's libargon2.
#include <gtest/gtest.h>
#include <sodium.h>

#include <array>
#include <cstdio>
#include <string>

namespace zorvan {
namespace {

std::string Hex(const unsigned char* bytes, std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += pair;
    }
    return text;
}

TEST(Sodium, Argon2idGivesTheKnownKeys) {
    ASSERT_GE(sodium_init(), 0);
    struct Case {
        std::string password;
        unsigned char saltStart;
        unsigned long long opsLimit;
        std::string key;
    };
    const Case cases[] = {
        {"correct horse battery staple", 0x00, 1,
         "9aeef75313e585f492c33c5e12d82e9ad253b7dd78632d537e899cd4eddd789c"},
        {"パスワード", 0x10, 3, "f4c93e8b8656e70cf7d28781e799ab1536f77aa9c82dc0d04e029263f8f11d4f"},
    };
    for (const Case& c : cases) {
        std::array<unsigned char, crypto_pwhash_SALTBYTES> salt{};
        for (std::size_t i = 0; i < salt.size(); ++i) {
            salt[i] = static_cast<unsigned char>(c.saltStart + i);
        }
        std::array<unsigned char, 32> key{};
        ASSERT_EQ(
            crypto_pwhash(key.data(), key.size(), c.password.data(), c.password.size(), salt.data(),
                          c.opsLimit, std::size_t{8} << 20, crypto_pwhash_ALG_ARGON2ID13),
            0)
            << c.password;
        EXPECT_EQ(Hex(key.data(), key.size()), c.key) << c.password;
    }
}

}  // namespace
}  // namespace zorvan
