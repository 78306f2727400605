#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/StorageError.h"
#include "vault/VaultFixture.h"

namespace zorvan {
namespace {

// Damaged vault files: every case gives a StorageError that names the file and the
// block, or a safe result; nothing crashes, reads outside the files or allocates
// by a size read from them.
class DamagedVault : public test::VaultFixture {
protected:
    void SetHeaderCount(BlockNumber block, std::int32_t count) {
        std::string itm = ItemFile();
        std::memcpy(itm.data() + (block - 1) * 16, &count, 4);
        test::WriteBytes(paths_.strItmFile, itm);
    }

    template <typename Operation>
    void ExpectError(Operation operation, const std::filesystem::path& file, BlockNumber block) {
        try {
            operation();
            ADD_FAILURE() << "no error";
        } catch (const StorageError& error) {
            EXPECT_EQ(error.file(), file);
            EXPECT_EQ(error.block(), block);
            EXPECT_NE(std::string(error.what()).find(std::to_string(block)), std::string::npos);
        }
    }

    void ExpectUnreadable(BlockNumber block) {
        ExpectError([&] { store_.LoadItem(block); }, paths_.strItmFile, block);
        ExpectError([&] { store_.ReadItemData(block); }, paths_.strItmFile, block);
    }
};

TEST_F(DamagedVault, TruncatedItemFileIsReportedNotRead) {
    const BlockNumber block = StoreNamed(std::string(20, 'a'));  // 3 blocks, 48 bytes
    std::filesystem::resize_file(paths_.strItmFile, 40);
    ExpectUnreadable(block);
    std::filesystem::resize_file(paths_.strItmFile, 8);  // not even a whole header
    ExpectUnreadable(block);
}

TEST_F(DamagedVault, BlockNumbersOutsideTheFileAreReported) {
    StoreNamed("a");
    ExpectUnreadable(3);
    ExpectUnreadable(2147483647);
    ExpectUnreadable(0);
    ExpectUnreadable(-1);
    ExpectError([&] { store_.FreeItem(-5); }, paths_.strItmFile, -5);
}

TEST_F(DamagedVault, HeaderCountBelowTwoOrPastTheEndIsReported) {
    const BlockNumber block = StoreNamed("a");
    for (const std::int32_t count : {1, 0, -5, 3, 2147483647}) {
        SetHeaderCount(block, count);
        ExpectUnreadable(block);
    }
}

TEST_F(DamagedVault, FreeNeverClearsBitsBeyondTheRecordsRealExtent) {
    const BlockNumber first = StoreNamed("a");
    StoreNamed("b");
    SetHeaderCount(first, 50);
    const std::string before = Bitmap();
    ExpectError([&] { store_.FreeItem(first); }, paths_.strItmFile, first);
    EXPECT_EQ(Bitmap(), before);
}

TEST_F(DamagedVault, FreeDoesNotGrowAShortBitmap) {
    const BlockNumber block = StoreNamed("a");
    test::WriteBytes(paths_.strBmpFile, "");
    store_.FreeItem(block);
    EXPECT_EQ(Bitmap(), "");
}

TEST_F(DamagedVault, ShortBitmapNeverLetsANewRecordOverwriteOldOnes) {
    StoreNamed("one");
    StoreNamed("two");
    StoreNamed("three");  // blocks 1-6
    test::WriteBytes(paths_.strBmpFile, "");
    EXPECT_EQ(StoreNamed("four"), 7);
    EXPECT_EQ(Bitmap(), "\xFF");  // the unknown blocks 1-6 are now marked in use
    EXPECT_EQ(store_.LoadItem(1).ItemName, "one");
    EXPECT_EQ(store_.LoadItem(5).ItemName, "three");
    EXPECT_EQ(store_.LoadItem(7).ItemName, "four");
}

TEST_F(DamagedVault, EmptyAndMissingFiles) {
    ExpectUnreadable(1);  // empty item file
    std::filesystem::remove(paths_.strItmFile);
    EXPECT_THROW(store_.LoadItem(1), StorageError);
    std::filesystem::remove(paths_.strBmpFile);
    std::filesystem::remove(paths_.strIdxFile);
    EXPECT_EQ(index_.GetGroupNames(), std::vector<std::string>{""});
    EXPECT_EQ(StoreNamed("fresh"), 1);  // both files come back
    EXPECT_EQ(store_.LoadItem(1).ItemName, "fresh");
}

TEST_F(DamagedVault, ItemFileWithAPartialLastBlockIsNotOverwritten) {
    StoreNamed("a");
    std::string itm = ItemFile();
    itm += "xyz";  // 35 bytes: block 3 is partly there
    test::WriteBytes(paths_.strItmFile, itm);
    test::WriteBytes(paths_.strBmpFile, "");
    EXPECT_EQ(StoreNamed("b"), 4);
}

TEST_F(DamagedVault, IndexWithBadBlockNumbersKeepsThemAndStaysUsable) {
    test::WriteBytes(paths_.strIdxFile, "Web#0\tabc\t-7\t99999999999999999999\t\t3");
    const auto items = index_.GetGroupItems("Web");
    ASSERT_EQ(items.size(), 6u);
    int parsed = 0;
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (const auto block = ParseBlockNumber(items[i])) {
            ++parsed;
            EXPECT_THROW(store_.LoadItem(*block), StorageError);
        }
    }
    EXPECT_EQ(parsed, 2);  // -7 and 3; both unreadable here
    index_.UpdateGroupLine("Web", 3, 1);
    EXPECT_EQ(test::ReadBytes(paths_.strIdxFile), "Web#0\t1\tabc\t-7\t99999999999999999999\t");
}

TEST_F(DamagedVault, IndexWithCrOnlyOrLfOnlyLineEndsReadsAllGroups) {
    test::WriteBytes(paths_.strIdxFile, "Web#0\t1\rMail#0\t3\nBank#1");
    EXPECT_EQ(index_.GetGroupNames(), (std::vector<std::string>{"Web", "Mail", "Bank"}));
    index_.UpdateGroupLine("Mail", 3, kNoBlock);
    EXPECT_EQ(test::ReadBytes(paths_.strIdxFile), "Web#0\t1\r\nMail#0\r\nBank#1");
}

}  // namespace
}  // namespace zorvan
