#include <gtest/gtest.h>

#include <sstream>

#include "support/Golden.h"
#include "vault/Cipher.h"

namespace zorvan {
namespace {

std::vector<int> Numbers(const std::string& text) {
    std::istringstream in(text);
    std::vector<int> out;
    for (int n; in >> n;) {
        out.push_back(n);
    }
    return out;
}

template <typename Row>
std::vector<int> AsInts(const Row& row) {
    return std::vector<int>(row.begin(), row.end());
}

TEST(Cipher, KeyTablesMatchTheVectors) {
    const auto rows = test::ReadVectorLines("key_tables.txt", '|');
    ASSERT_GE(rows.size(), 9u);
    for (const auto& row : rows) {
        const Cipher cipher(test::FromHex(row[0]));
        EXPECT_EQ(AsInts(cipher.table().A), Numbers(row[1])) << row[0];
        EXPECT_EQ(AsInts(cipher.table().B), Numbers(row[2])) << row[0];
        EXPECT_EQ(AsInts(cipher.table().C), Numbers(row[3])) << row[0];
    }
}

TEST(Cipher, EnciphersAndDeciphersTheVectorPairs) {
    const auto rows = test::ReadVectorLines("cipher_pairs.txt", '|');
    ASSERT_GE(rows.size(), 9u);
    for (const auto& row : rows) {
        const Cipher cipher(test::FromHex(row[0]));
        auto bytes = test::FromHex(row[1]);
        cipher.Encrypt(bytes);
        EXPECT_EQ(test::ToHex(bytes), row[2]);
        cipher.Decrypt(bytes);
        EXPECT_EQ(test::ToHex(bytes), row[1]);
    }
}

TEST(Cipher, CheckValuesMatchTheVectors) {
    const auto rows = test::ReadVectorLines("check_values.txt", '\t');
    ASSERT_GE(rows.size(), 11u);
    for (const auto& row : rows) {
        EXPECT_EQ(CheckValue(row[0]), row[1]) << row[0];
    }
}

// Each 16-byte unit on its own is the record vectors' to prove (records of many
// blocks); a ragged tail stays as it is.
TEST(Cipher, PartialUnitsAndKeysLongerThan16BytesAreCut) {
    const Cipher cipher(KeyBytes("zorvan").span());
    std::vector<std::uint8_t> shortSeq{1};
    cipher.Encrypt(shortSeq);
    EXPECT_EQ(shortSeq, std::vector<std::uint8_t>{1});
    std::vector<std::uint8_t> ragged(20, 9);
    cipher.Encrypt(ragged);
    EXPECT_EQ(std::vector<std::uint8_t>(ragged.begin() + 16, ragged.end()),
              std::vector<std::uint8_t>(4, 9));

    // Short keys, code page 932 and leading zeros are the check value vectors'.
    const auto cut = KeyBytes("abcdefghijklmnopqrstu");
    EXPECT_EQ(cut.size(), 16u);
    EXPECT_EQ(cut[15], 'p');
}

}  // namespace
}  // namespace zorvan
