#include "vault/RecordBatch.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "support/TempDir.h"
#include "vault/ItemStore.h"

namespace zorvan {
namespace {

// A batch must choose the blocks, and leave the files, exactly as one
// ItemStore::StoreItem per record would, whatever the item file and bitmap hold.
TEST(RecordBatch, StoresExactlyAsOneStoreItemPerRecord) {
    // Holes of every size from one block up: a larger record skipping a small hole
    // must not stop a later smaller one from taking it.
    std::string scattered;
    std::vector<std::int32_t> mixed;
    for (int i = 0; i < 60; ++i) {
        if (i < 48) {
            scattered += static_cast<char>(i % 5 == 0 ? 0xFF : (i * 37 + 11) & 0xFF);
        }
        mixed.push_back(2 + (i * 7) % 9);
    }
    const struct {
        const char* name;
        std::string itm;
        std::string bmp;
        std::vector<std::int32_t> counts;
        std::vector<BlockNumber> first;  // the first blocks chosen, where it matters
    } rows[] = {
        {"empty vault", "", "", {2, 3, 2, 9, 2, 17, 2}, {1}},
        // Blocks 3-4, 7-10 and 17-24 free inside a bitmap of 32 blocks.
        {"holes first fit across byte boundaries",
         std::string(32 * 16, '\x11'),
         std::string("\x33\xFC\x00\xFF", 4),
         {3, 2, 2, 5, 2, 4, 2, 2},
         {7, 3}},
        {"mixed sizes among scattered holes",
         std::string(48 * 8 * 16, '\x22'),
         scattered,
         mixed,
         {}},
        // The bitmap knows 8 blocks (block 8 free); the item file holds 21 and a half.
        {"item file beyond the bitmap counts as used",
         std::string(21 * 16 + 8, '\x22'),
         "\x7F",
         {2, 2, 3},
         {23}},
        {"bitmap marking blocks past the item file",
         std::string(2 * 16, '\x33'),
         "\xFF\xFF\x01",
         {2, 2},
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempDir single;
        test::TempDir batched;
        for (const auto* dir : {&single, &batched}) {
            test::WriteBytes(*dir / "Zorvan.itm", row.itm);
            test::WriteBytes(*dir / "Zorvan.bmp", row.bmp);
        }
        ItemStore store(single / "Zorvan.itm", single / "Zorvan.bmp");
        RecordBatch batch(batched / "Zorvan.itm", batched / "Zorvan.bmp");
        std::vector<BlockNumber> singleBlocks;
        std::vector<BlockNumber> batchBlocks;
        for (std::size_t i = 0; i < row.counts.size(); ++i) {
            const std::vector<std::uint8_t> data(static_cast<std::size_t>(row.counts[i] - 1) * 16,
                                                 static_cast<std::uint8_t>(0xA0 + i));
            const auto expire = static_cast<std::int32_t>(i);
            singleBlocks.push_back(store.StoreItem(data, row.counts[i], expire, 1.5 * i));
            batchBlocks.push_back(batch.Store(data, row.counts[i], expire, 1.5 * i));
        }
        batch.Commit();
        EXPECT_EQ(batchBlocks, singleBlocks);
        EXPECT_EQ(std::vector(batchBlocks.begin(), batchBlocks.begin() + row.first.size()),
                  row.first);
        for (const char* name : {"Zorvan.itm", "Zorvan.bmp"}) {
            EXPECT_EQ(test::ReadBytes(batched / name), test::ReadBytes(single / name)) << name;
        }
    }
}

TEST(RecordBatch, NothingIsAllocatedBeforeCommit) {
    test::TempDir dir;
    test::WriteBytes(dir / "Zorvan.bmp", std::string("\x01", 1));
    {
        RecordBatch batch(dir / "Zorvan.itm", dir / "Zorvan.bmp");
        std::vector<std::uint8_t> data(16, 1);
        EXPECT_EQ(batch.Store(data, 2, 0, 0), 2);
        EXPECT_EQ(batch.Store(data, 2, 0, 0), 4);
        EXPECT_EQ(batch.stored(), 2u);
    }
    EXPECT_EQ(test::ReadBytes(dir / "Zorvan.bmp"), std::string("\x01", 1));
}

TEST(RecordBatch, RefusesDataThatDoesNotFillTheRecord) {
    test::TempDir dir;
    RecordBatch batch(dir / "Zorvan.itm", dir / "Zorvan.bmp");
    std::vector<std::uint8_t> data(20, 1);
    EXPECT_THROW(batch.Store(data, 2, 0, 0), std::invalid_argument);
    EXPECT_THROW(batch.Store({}, 1, 0, 0), std::invalid_argument);
    batch.Commit();
    EXPECT_EQ(test::ReadBytes(dir / "Zorvan.bmp"), "");
}

}  // namespace
}  // namespace zorvan
