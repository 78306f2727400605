#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "platform/StorageError.h"
#include "support/Golden.h"
#include "vault/RecordBatch.h"
#include "vault/VaultFixture.h"

namespace zorvan {
namespace {

class ItemStoreTest : public test::VaultFixture {};

TEST_F(ItemStoreTest, RecordsMatchTheVectorsByteForByte) {
    const auto rows = test::ReadVectorLines("records.txt", '\t');
    ASSERT_GE(rows.size(), 12u);
    for (const auto& row : rows) {
        ItemRecord item;
        item.ItemName = row[1];
        item.AccountID = row[2];
        item.AccountPass = row[3];
        item.RelatedURL = row[4];
        item.AccountMemo = test::Unescape(row[5]);
        ItemPlaintext plain = BuildItemPlaintext(item);
        EXPECT_EQ(plain.count, std::stoi(row[6])) << row[1];
        const std::vector<std::uint8_t> bytes(plain.bytes.data(),
                                              plain.bytes.data() + plain.bytes.size());
        EXPECT_EQ(test::ToHex(bytes), row[7]) << row[1];

        const Cipher cipher(KeyBytes(row[0]).span());
        cipher.Encrypt(plain.bytes.span());
        const std::vector<std::uint8_t> sealed(plain.bytes.data(),
                                               plain.bytes.data() + plain.bytes.size());
        EXPECT_EQ(test::ToHex(sealed), row[8]) << row[1];

        const BlockNumber block = store_.StoreItem(plain.bytes.span(), plain.count, 0, 0);
        EXPECT_EQ(ItemStore(paths_.strItmFile, paths_.strBmpFile, cipher).LoadItem(block), item)
            << row[1];
    }
}

TEST_F(ItemStoreTest, StoredItemLoadsBackWithExpiryAndMemoLineBreaks) {
    ItemRecord item;
    item.ItemName = "銀行\r\n口座";
    item.AccountID = "taro";
    item.AccountPass = "p@ss{w}rd";
    item.RelatedURL = "https://example.jp/";
    item.AccountMemo = "一行目\r\n二行目";
    item.Expire = 1;
    item.ExpireDate = 37716.5;
    const BlockNumber block = Store(item);
    const ItemRecord back = store_.LoadItem(block);
    EXPECT_EQ(back.ItemName, "銀行口座");  // CR LF is not stored in the name
    EXPECT_EQ(back.AccountMemo, "一行目\r\n二行目");
    EXPECT_EQ(back.AccountPass, item.AccountPass);
    EXPECT_EQ(back.Expire, 1);
    EXPECT_DOUBLE_EQ(back.ExpireDate, 37716.5);
    EXPECT_TRUE(back.HasExpiry());
    item.ItemName = back.ItemName;
    EXPECT_EQ(store_.ReadItemData(block), BuildItemPlaintext(item).bytes);
    // The legacy format has no check: another key reads garbage, not an error.
    const Cipher other(KeyBytes("other").span());
    EXPECT_NE(ItemStore(paths_.strItmFile, paths_.strBmpFile, other).LoadItem(block).ItemName,
              back.ItemName);
}

TEST_F(ItemStoreTest, OneReaderLoadsRecordsInAnyOrderWhereverTheyLie) {
    // Small records, some spanning many kilobytes and some larger than the reader's
    // read-ahead, in a file several times that size.
    std::vector<ItemRecord> items(1500);
    std::vector<BlockNumber> blocks;
    {
        RecordBatch batch(paths_.strItmFile, paths_.strBmpFile);
        for (std::size_t i = 0; i < items.size(); ++i) {
            items[i].ItemName = "アイテム" + std::to_string(i);
            items[i].AccountMemo = std::string(i % 97 == 0 ? 40000 : i % 13 == 0 ? 5000 : 3, 'm');
            ItemPlaintext plain = BuildItemPlaintext(items[i]);
            cipher().Encrypt(plain.bytes.span());
            blocks.push_back(batch.Store(plain.bytes.span(), plain.count, 0, 0));
        }
        batch.Commit();
    }
    ASSERT_GT(ItemFile().size(), 4u * 64 * 1024);
    // Forwards, backwards (as a group's line lists them) and scattered.
    std::vector<std::size_t> order;
    const std::size_t n = items.size();
    for (std::size_t i = 0; i < 3 * n; ++i) {
        order.push_back(i < n ? i : i < 2 * n ? 2 * n - 1 - i : (i - 2 * n) * 611 % n);
    }
    for (const auto scope : {ItemReader::Scope::kSome, ItemReader::Scope::kWholeFile}) {
        ItemReader reader(paths_.strItmFile, cipher(), scope);
        for (const std::size_t i : order) {
            const ItemRecord loaded = reader.Load(blocks[i]);
            ASSERT_EQ(loaded.ItemName, items[i].ItemName) << i;
            ASSERT_EQ(loaded.AccountMemo, items[i].AccountMemo) << i;
        }
        EXPECT_EQ(reader.ReadHeader(blocks[0]).count, BuildItemPlaintext(items[0]).count);
        EXPECT_THROW(reader.Load(static_cast<BlockNumber>(ItemFile().size() / 16 + 1)),
                     StorageError);
    }
}

// Each step stores a record of that many blocks (and expects its first block) or,
// when negative, frees the record at that block. Live records must keep their
// header and data; freed ones leave zeros.
TEST_F(ItemStoreTest, FirstFitAllocationAndFreeInTheBitmap) {
    struct Step {
        std::int32_t count;  // < 0: free the record at block -count
        BlockNumber expected = kNoBlock;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
        std::string bitmap;
    } rows[] = {
        {"first record takes block one", {{2, 1}}, "\x03"},
        {"a run crosses the byte boundary", {{2, 1}, {2, 3}, {2, 5}, {4, 7}}, "\xFF\x03"},
        {"free clears exactly the record's bits", {{2, 1}, {2, 3}, {2, 5}, {-3}}, "\x33"},
        {"freed space is reused, a hole too small skipped",
         {{3, 1}, {2, 4}, {-1}, {2, 1}, {2, 6}},
         "\x7B"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::WriteBytes(paths_.strItmFile, "");
        test::WriteBytes(paths_.strBmpFile, "");
        std::map<BlockNumber, std::int32_t> live;
        for (const Step& step : row.steps) {
            if (step.count < 0) {
                store_.FreeItem(-step.count);
                live.erase(-step.count);
                continue;
            }
            const std::vector<std::uint8_t> data((step.count - 1) * 16, 0xA0);
            EXPECT_EQ(store_.StoreItem(data, step.count, 0, 0), step.expected);
            live[step.expected] = step.count;
        }
        EXPECT_EQ(Bitmap(), row.bitmap);
        std::string expected(ItemFile().size(), '\0');
        for (const auto& [block, count] : live) {
            const auto at = static_cast<std::size_t>(block - 1) * 16;
            std::memcpy(expected.data() + at, &count, 4);
            expected.replace(at + 16, (count - 1) * 16, (count - 1) * 16, '\xA0');
        }
        EXPECT_EQ(ItemFile(), expected);
    }
}

}  // namespace
}  // namespace zorvan
