#include "tools/SearchIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tools/TestItem.h"
#include "vault/SealedFile.h"
#include "vault/VaultFixture.h"

namespace zorvan {
namespace {

using test::Item;

// What a hit shows: group, name, ID and URL; blocks are checked where they matter.
using Shown = std::tuple<std::string, std::string, std::string, std::string>;

std::vector<Shown> ShownOf(const std::vector<SearchHit>& hits) {
    std::vector<Shown> shown;
    for (const SearchHit& hit : hits) {
        shown.emplace_back(hit.group, hit.name, hit.id, hit.url);
    }
    return shown;
}

class SearchIndexTest : public test::VaultFixture {
protected:
    // Saved last first, since a saved item goes first on its group's line.
    void SetUp() override {
        Save("仕事", Item("ｶﾞｽ会社", "gas01", "secret-pass", "", ""));
        Save("仕事", Item("メール", "Taro@Example.jp", "hunter2", "https://mail.example.jp",
                          "ﾊﾟｽﾜｰﾄﾞ変更済み\r\n二行目"));
        Save("個人", Item("がっこう", "", "", "", "連絡網"));
        Save("個人", Item("ＡＢＣ銀行", "taro", "zzz", "https://abc-bank.jp", "暗証番号は別"));
    }

    BlockNumber Save(const std::string& group, const ItemRecord& item) {
        return vault_.SaveItem(group, item, kNoBlock);
    }

    std::vector<std::string> Names(const SearchIndex& index, std::string_view query,
                                   std::size_t limit = 100) const {
        std::vector<std::string> names;
        for (const SearchHit& hit : index.Find(query, limit)) {
            names.emplace_back(hit.name);
        }
        return names;
    }
};

TEST_F(SearchIndexTest, FindsTheFoldedQueryInNameIdUrlAndMemoButNeverInThePassword) {
    const SearchIndex index(vault_);
    EXPECT_EQ(index.size(), 4u);
    const struct {
        std::string query;
        std::vector<std::string> names;
    } cases[] = {
        {"taro", {"メール", "ＡＢＣ銀行"}},  // group order, then order within
        {"EXAMPLE", {"メール"}},
        {"abc", {"ＡＢＣ銀行"}},
        {"ガス", {"ｶﾞｽ会社"}},
        {"ガッコウ", {"がっこう"}},
        {"ぱすわーど", {"メール"}},
        {"二行目", {"メール"}},
        {"連絡", {"がっこう"}},
        {"ｇａｓ０１", {"ｶﾞｽ会社"}},
        // Passwords are not in the index.
        {"hunter2", {}},
        {"secret", {}},
        {"zzz", {}},
        // A match never runs from one field or item into the next.
        {"jpﾊﾟｽ", {}},
        {"gas01https", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Names(index, c.query), c.names) << c.query;
    }
}

TEST_F(SearchIndexTest, HitsShowTheItemsOwnTextsAndBlocks) {
    SearchIndex index;
    EXPECT_TRUE(index.Find("taro", 10).empty());
    index = SearchIndex(vault_);  // as the window replaces its index after a reload
    const auto hits = index.Find("TARO", 10);
    EXPECT_EQ(ShownOf(hits),
              (std::vector<Shown>{{"仕事", "メール", "Taro@Example.jp", "https://mail.example.jp"},
                                  {"個人", "ＡＢＣ銀行", "taro", "https://abc-bank.jp"}}));
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(vault_.LoadItem(hits[0].block).ItemName, "メール");
    EXPECT_EQ(vault_.LoadItem(hits[1].block).ItemName, "ＡＢＣ銀行");
}

TEST_F(SearchIndexTest, LimitKeepsTheFirstHitsInOrder) {
    SearchIndex index(vault_);
    const std::vector<std::string> all = {"メール", "ｶﾞｽ会社", "ＡＢＣ銀行", "がっこう"};
    // The lead byte of kana, which every item here has somewhere.
    EXPECT_EQ(Names(index, "\xe3"), all);
    EXPECT_EQ(Names(index, "\xe3", 2), std::vector<std::string>(all.begin(), all.begin() + 2));
    EXPECT_TRUE(Names(index, "\xe3", 0).empty());
    // After an edit the index is out of its stored order, and sorts instead.
    const auto blocks = vault_.GroupBlocks("個人");
    const ItemRecord edited = Item("ＡＢＣ銀行 改", "taro", "zzz", "", "メモ");
    index.Update("個人", blocks[0], vault_.SaveItem("個人", edited, blocks[0]), edited);
    EXPECT_EQ(Names(index, "\xe3", 3),
              (std::vector<std::string>{"メール", "ｶﾞｽ会社", "ＡＢＣ銀行 改"}));
}

// After each step the kept index answers as one built afresh from the vault.
TEST_F(SearchIndexTest, UpdateAndRemoveKeepTheIndexAsARebuildWouldBe) {
    SearchIndex index(vault_);
    const auto check = [&](const char* step) {
        const SearchIndex fresh(vault_);
        for (const char* query : {"\xe3", "taro", "a", "改"}) {
            const auto kept = index.Find(query, 100);
            const auto built = fresh.Find(query, 100);
            EXPECT_EQ(ShownOf(kept), ShownOf(built)) << step << ": " << query;
            for (std::size_t i = 0; i < kept.size() && i < built.size(); ++i) {
                EXPECT_EQ(kept[i].block, built[i].block) << step << ": " << query;
            }
        }
        EXPECT_EQ(index.size(), fresh.size()) << step;
    };

    const ItemRecord added = Item("新しい項目", "taro2", "p", "", "改");
    index.Update("個人", kNoBlock, vault_.SaveItem("個人", added, kNoBlock), added);
    check("added");

    const BlockNumber mail = vault_.GroupBlocks("仕事")[0];
    const ItemRecord edited = Item("メール 改", "Taro@Example.jp", "hunter3", "", "");
    index.Update("仕事", mail, vault_.SaveItem("仕事", edited, mail), edited);
    check("edited");

    const ItemRecord other = Item("別グループ", "x", "p", "", "");
    index.Update("新グループ", kNoBlock, vault_.SaveItem("新グループ", other, kNoBlock), other);
    check("new group");

    for (const std::string group : {"仕事", "個人"}) {
        const BlockNumber first = vault_.GroupBlocks(group)[0];
        vault_.DeleteItems(group, std::span(&first, 1));
        index.Remove(group, first);
        check("removed");
    }
    // Enough edits that the removed entries outnumber the rest and are compacted.
    for (int i = 0; i < 10; ++i) {
        const BlockNumber first = vault_.GroupBlocks("個人")[0];
        const ItemRecord again = Item("改" + std::to_string(i), "a", "p", "", "");
        index.Update("個人", first, vault_.SaveItem("個人", again, first), again);
    }
    check("compacted");
    EXPECT_TRUE(index.Find("改0", 10).empty());
    EXPECT_EQ(index.Find("改9", 10).size(), 1u);
}

TEST_F(SearchIndexTest, AProtectedVaultIsIndexedAsTheLegacyOneWas) {
    const auto before = ShownOf(SearchIndex(vault_).Find("\xe3", 100));
    vault_.Upgrade("保護形式", kKdfFloor);
    ASSERT_EQ(vault_.format(), VaultFormat::kProtected);
    const auto after = ShownOf(SearchIndex(vault_).Find("\xe3", 100));
    EXPECT_EQ(after, before);
    EXPECT_EQ(after.size(), 4u);
}

}  // namespace
}  // namespace zorvan
