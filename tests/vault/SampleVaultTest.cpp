#include <gtest/gtest.h>

#include "support/Golden.h"
#include "support/TempDir.h"
#include "vault/GroupIndex.h"
#include "vault/ItemStore.h"
#include "vault/Settings.h"
#include "vault/Vault.h"

namespace zorvan {
namespace {

// The sample vault, made independently from the file formats, read with its
// password gives exactly the groups and items its description lists.
class SampleVault : public ::testing::Test {
protected:
    SampleVault() { test::CopySampleVault(dir_.path()); }

    test::TempDir dir_;
    test::Json expected_ =
        test::Json::Parse(test::ReadBytes(test::DataDir() / "vault-sample.json"));
    GroupIndex index_{dir_ / "Zorvan.idx"};
    ItemStore store_{dir_ / "Zorvan.itm", dir_ / "Zorvan.bmp"};
    Vault vault_{DataPaths::InFolder(dir_.path())};
};

TEST_F(SampleVault, PasswordMatchesTheStoredCheckValue) {
    EXPECT_FALSE(vault_.Open("Zorvan"));
    EXPECT_FALSE(vault_.IsOpen());
    EXPECT_TRUE(vault_.Open(expected_["password"].string));
}

TEST_F(SampleVault, GroupsAndItemsAreExactlyTheListedOnes) {
    ASSERT_TRUE(vault_.Open(expected_["password"].string));
    const auto& groups = expected_["groups"].array;
    std::vector<std::string> names;
    for (const auto& group : groups) {
        names.push_back(group["name"].string);
    }
    ASSERT_EQ(index_.GetGroupNames(), names);

    for (const auto& group : groups) {
        const auto line = index_.GetGroupItems(group["name"].string);
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(line[0], group["head"].string);
        const bool protectedGroup = line[0].size() > 2 && line[0].ends_with("#1");
        EXPECT_EQ(protectedGroup, group["write_protected"].boolean);
        const auto& items = group["items"].array;
        ASSERT_EQ(line.size() - 1, items.size()) << group["name"].string;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const auto& want = items[i];
            const ItemRecord item = vault_.LoadItem(*ParseBlockNumber(line[i + 1]));
            EXPECT_EQ(item.ItemName, want["name"].string);
            EXPECT_EQ(item.AccountID, want["id"].string);
            EXPECT_EQ(item.AccountPass, want["pw"].string);
            EXPECT_EQ(item.RelatedURL, want["url"].string);
            EXPECT_EQ(item.AccountMemo, want["memo"].string);
            const int expire = want.Has("expire") ? static_cast<int>(want["expire"].number) : 0;
            EXPECT_EQ(item.Expire, expire) << item.ItemName;
            if (want.Has("date")) {
                EXPECT_DOUBLE_EQ(item.ExpireDate, want["date"].number);
            }
            EXPECT_EQ(item.HasExpiry(), want["date_iso"].kind != test::Json::Kind::kNull);
        }
    }
}

TEST_F(SampleVault, RewritingTheIndexWithoutChangeKeepsItsBytes) {
    const std::string before = test::ReadBytes(dir_ / "Zorvan.idx");
    index_.UpdateGroupLine("Web", 7, 7);
    index_.UpdateGroupLine("Web", 1, 1);
    EXPECT_EQ(test::ReadBytes(dir_ / "Zorvan.idx"), before);
}

TEST_F(SampleVault, NewItemsGoPastTheUsedBlocks) {
    ItemRecord item;
    item.ItemName = "new";
    ItemPlaintext plain = BuildItemPlaintext(item);
    EXPECT_EQ(store_.StoreItem(plain.bytes.span(), plain.count, 0, 0), 18);
    EXPECT_EQ(test::ReadBytes(dir_ / "Zorvan.bmp"), "\xFF\xFF\x07");
}

}  // namespace
}  // namespace zorvan
