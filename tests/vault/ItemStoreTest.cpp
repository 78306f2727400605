#include <gtest/gtest.h>

#include <cstring>

#include "platform/StorageError.h"
#include "support/Golden.h"
#include "vault/RecordBatch.h"
#include "vault/VaultFixture.h"

namespace zorvan {
namespace {

class ItemStoreTest : public test::VaultFixture {};

std::int32_t HeaderCount(const std::string& itm, BlockNumber block) {
    std::int32_t count = 0;
    std::memcpy(&count, itm.data() + (block - 1) * 16, 4);
    return count;
}

TEST_F(ItemStoreTest, FirstItemGetsBlockOneAndSetsTheLowBits) {
    EXPECT_EQ(StoreNamed(""), 1);
    EXPECT_EQ(Bitmap(), "\x03");
    const auto itm = ItemFile();
    ASSERT_EQ(itm.size(), 32u);
    EXPECT_EQ(HeaderCount(itm, 1), 2);
}

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
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < items.size(); ++i) {
        order.push_back(i);  // forwards
    }
    for (std::size_t i = items.size(); i-- > 0;) {
        order.push_back(i);  // backwards, as a group's line lists them
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        order.push_back(i * 611 % items.size());  // scattered
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

TEST_F(ItemStoreTest, ReadItemDataGivesTheDecipheredPaddedPlaintext) {
    ItemRecord item;
    item.ItemName = "abc";
    const BlockNumber block = Store(item);
    const SecureBytes data = store_.ReadItemData(block);
    EXPECT_EQ(data, BuildItemPlaintext(item).bytes);
}

TEST_F(ItemStoreTest, FirstFitReusesFreedSpaceAndSkipsHolesTooSmall) {
    const BlockNumber a = StoreNamed(std::string(20, 'a'));  // count 3: blocks 1-3
    const BlockNumber b = StoreNamed("b");                   // blocks 4-5
    ASSERT_EQ(a, 1);
    ASSERT_EQ(b, 4);
    store_.FreeItem(a);
    EXPECT_EQ(Bitmap(), "\x18");
    EXPECT_EQ(StoreNamed("c"), 1);  // blocks 1-2
    EXPECT_EQ(StoreNamed("d"), 6);  // block 3 alone is too small
    EXPECT_EQ(store_.LoadItem(b).ItemName, "b");
}

TEST_F(ItemStoreTest, RunsCrossBitmapByteBoundaries) {
    for (int i = 0; i < 3; ++i) {
        StoreNamed("x");  // blocks 1-6
    }
    EXPECT_EQ(StoreNamed(std::string(40, 'y')), 7);  // count 4: blocks 7-10
    EXPECT_EQ(Bitmap(), "\xFF\x03");
    EXPECT_EQ(store_.LoadItem(7).ItemName, std::string(40, 'y'));
}

TEST_F(ItemStoreTest, FreeClearsAndZeroesExactlyTheRecordsBlocks) {
    StoreNamed("1");
    const BlockNumber middle = StoreNamed("2");
    StoreNamed("3");
    std::string expected = ItemFile();
    expected.replace(static_cast<std::size_t>(middle - 1) * 16, 32, 32, '\0');
    store_.FreeItem(middle);
    EXPECT_EQ(Bitmap(), "\x33");
    EXPECT_EQ(ItemFile(), expected);  // the same size, the neighbours untouched
}

TEST_F(ItemStoreTest, AWrongKeyReadsGarbageWithoutError) {
    const BlockNumber block = StoreNamed("secret name");
    const Cipher other(KeyBytes("other").span());
    EXPECT_NE(ItemStore(paths_.strItmFile, paths_.strBmpFile, other).LoadItem(block).ItemName,
              "secret name");
}

}  // namespace
}  // namespace zorvan
