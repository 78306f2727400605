#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "support/TempDir.h"
#include "vault/ItemStore.h"
#include "vault/RecordBatch.h"

namespace zorvan {
namespace {

// Two vaults that start with the same item file and bitmap: one fed record by
// record through ItemStore, the other through one batch.
struct TwinVaults {
    TwinVaults(const std::string& itm, const std::string& bmp) {
        for (const auto* dir : {&single, &batched}) {
            test::WriteBytes(*dir / "Zorvan.itm", itm);
            test::WriteBytes(*dir / "Zorvan.bmp", bmp);
        }
    }

    // Stores records of these block counts both ways; returns whether both chose
    // the same blocks.
    void Store(const std::vector<std::int32_t>& counts) {
        ItemStore store(single / "Zorvan.itm", single / "Zorvan.bmp");
        RecordBatch batch(batched / "Zorvan.itm", batched / "Zorvan.bmp");
        for (std::size_t i = 0; i < counts.size(); ++i) {
            std::vector<std::uint8_t> data(static_cast<std::size_t>(counts[i] - 1) * 16,
                                           static_cast<std::uint8_t>(0xA0 + i));
            const auto expire = static_cast<std::int32_t>(i);
            singleBlocks.push_back(store.StoreItem(data, counts[i], expire, 1.5 * i));
            batchBlocks.push_back(batch.Store(data, counts[i], expire, 1.5 * i));
        }
        batch.Commit();
    }

    void ExpectSameFiles() const {
        EXPECT_EQ(batchBlocks, singleBlocks);
        EXPECT_EQ(test::ReadBytes(batched / "Zorvan.itm"), test::ReadBytes(single / "Zorvan.itm"));
        EXPECT_EQ(test::ReadBytes(batched / "Zorvan.bmp"), test::ReadBytes(single / "Zorvan.bmp"));
    }

    test::TempDir single;
    test::TempDir batched;
    std::vector<BlockNumber> singleBlocks;
    std::vector<BlockNumber> batchBlocks;
};

TEST(RecordBatch, EmptyVaultGetsTheSameBlocksAsOneStoreEach) {
    TwinVaults vaults("", "");
    vaults.Store({2, 3, 2, 9, 2, 17, 2});
    vaults.ExpectSameFiles();
    EXPECT_EQ(vaults.batchBlocks.front(), 1);
}

TEST(RecordBatch, HolesAreFilledFirstFitAcrossByteBoundaries) {
    // Blocks 3-4, 7-10 and 17-24 free inside a bitmap of 32 blocks.
    const std::string bmp("\x33\xFC\x00\xFF", 4);
    TwinVaults vaults(std::string(32 * 16, '\x11'), bmp);
    vaults.Store({3, 2, 2, 5, 2, 4, 2, 2});
    vaults.ExpectSameFiles();
    EXPECT_EQ(vaults.batchBlocks[0], 7);
    EXPECT_EQ(vaults.batchBlocks[1], 3);
}

TEST(RecordBatch, MixedSizesAmongScatteredHolesGetTheSameBlocksAsOneStoreEach) {
    // Holes of every size from one block up; a larger record skipping a small hole
    // must not stop a later smaller one from taking it.
    std::string bmp;
    for (int i = 0; i < 48; ++i) {
        bmp += static_cast<char>(i % 5 == 0 ? 0xFF : (i * 37 + 11) & 0xFF);
    }
    TwinVaults vaults(std::string(bmp.size() * 8 * 16, '\x22'), bmp);
    std::vector<std::int32_t> counts;
    for (int i = 0; i < 60; ++i) {
        counts.push_back(2 + (i * 7) % 9);
    }
    vaults.Store(counts);
    vaults.ExpectSameFiles();
}

TEST(RecordBatch, ItemFileBeyondTheBitmapCountsAsUsed) {
    // The bitmap knows 8 blocks (block 8 free); the item file holds 21 and a half.
    TwinVaults vaults(std::string(21 * 16 + 8, '\x22'), std::string("\x7F", 1));
    vaults.Store({2, 2, 3});
    vaults.ExpectSameFiles();
    EXPECT_EQ(vaults.batchBlocks[0], 23);
}

TEST(RecordBatch, BitmapMarkingBlocksPastTheItemFileIsRespected) {
    TwinVaults vaults(std::string(2 * 16, '\x33'), std::string("\xFF\xFF\x01", 3));
    vaults.Store({2, 2});
    vaults.ExpectSameFiles();
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
