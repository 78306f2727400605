#include <gtest/gtest.h>

#include <algorithm>

#include "vault/SealedFile.h"
#include "vault/SealedModel.h"

namespace zorvan {
namespace {

// XChaCha20-Poly1305 gives nothing away only while no nonce is used twice under
// one key: every write of the vault must take a fresh one, even of equal contents.
TEST(SealedFile, EachSealTakesAFreshNonceAndStillOpens) {
    const SealedKey key = sealed::DeriveKey("pw", kKdfFloor);
    const SealedModel empty;
    const auto first = sealed::Seal(empty.contents().span(), key, 1);
    const auto second = sealed::Seal(empty.contents().span(), key, 1);
    const auto nonceOf = [](const std::vector<std::uint8_t>& file) {
        return sealed::DecodeHeader(file, "x").nonce;
    };
    EXPECT_NE(nonceOf(first), nonceOf(second));
    EXPECT_FALSE(std::ranges::all_of(nonceOf(first), [](std::uint8_t b) { return b == 0; }));
    EXPECT_TRUE(sealed::Unseal(first, key).has_value());
    EXPECT_TRUE(sealed::Unseal(second, key).has_value());
}

}  // namespace
}  // namespace zorvan
