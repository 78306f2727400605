#include <gtest/gtest.h>

#include <cstring>

#include "support/Golden.h"
#include "vault/VaultCheck.h"
#include "vault/VaultFixture.h"

namespace zorvan {
namespace {

class VaultCheckTest : public test::VaultFixture {
protected:
    VaultCheck::Report Check() const { return VaultCheck::Run(paths_); }

    void Index(const std::string& text) const { test::WriteBytes(paths_.strIdxFile, text); }
};

TEST_F(VaultCheckTest, TheSampleVaultIsHealthyWithNothingLeaked) {
    test::CopySampleVault(dir_.path());
    const auto report = Check();
    EXPECT_TRUE(report.Healthy()) << report.Message();
    EXPECT_EQ(report.leakedBlocks, 0u);
    EXPECT_EQ(report.Message(), "");
}

TEST_F(VaultCheckTest, BlocksLeftByAnInterruptedStoreAreCountedButNoDamage) {
    const BlockNumber kept = StoreNamed("kept");
    StoreNamed("never indexed");  // 18 bytes of plaintext: 3 blocks
    Index("Web#0\t" + std::to_string(kept));
    const auto report = Check();
    EXPECT_TRUE(report.Healthy());
    EXPECT_EQ(report.leakedBlocks, 3u);
}

TEST_F(VaultCheckTest, FindsEntriesThatNameFreeMissingOrNoBlocks) {
    const BlockNumber freed = StoreNamed("freed");
    store_.FreeItem(freed);
    Index("Web#0\t" + std::to_string(freed) + "\t999\tabc\t-3");
    const auto report = Check();
    ASSERT_EQ(report.problems.size(), 4u);
    EXPECT_EQ(report.problems[0].group, "Web");
    EXPECT_EQ(report.problems[0].entry, "1");
    EXPECT_EQ(report.problems[1].entry, "999");
    EXPECT_EQ(report.problems[2].entry, "abc");
    EXPECT_EQ(report.problems[3].entry, "-3");
    const std::string message = report.Message();
    EXPECT_NE(message.find("保管庫に問題が見つかりました (4 件)"), std::string::npos);
    EXPECT_NE(message.find("グループ「Web」の 999"), std::string::npos);
}

TEST_F(VaultCheckTest, FindsOverlappingAndTwiceListedRecords) {
    const BlockNumber big = StoreNamed(std::string(40, 'x'));  // blocks 1-4
    // A header forged inside the first record's data: blocks 2-3.
    std::string itm = ItemFile();
    const std::int32_t count = 2;
    std::memcpy(itm.data() + 16, &count, 4);
    test::WriteBytes(paths_.strItmFile, itm);
    Index("A#0\t" + std::to_string(big) + "\r\nB#0\t2\t" + std::to_string(big));
    const auto report = Check();
    ASSERT_EQ(report.problems.size(), 2u);
    EXPECT_EQ(report.problems[0].group, "B");
    EXPECT_NE(report.problems[0].what.find("ブロック 1"), std::string::npos);
    EXPECT_EQ(report.problems[1].entry, std::to_string(big));
}

TEST_F(VaultCheckTest, MissingFilesReportEveryEntryAndChangeNothing) {
    Index("Web#0\t1\t3");
    std::filesystem::remove(paths_.strItmFile);
    std::filesystem::remove(paths_.strBmpFile);
    const auto report = Check();
    EXPECT_EQ(report.problems.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(paths_.strItmFile));
    EXPECT_EQ(test::ReadBytes(paths_.strIdxFile), "Web#0\t1\t3");
}

TEST_F(VaultCheckTest, LongReportsAreCutForTheMessage) {
    std::string line = "Web#0";
    for (int i = 0; i < 15; ++i) {
        line += "\tx" + std::to_string(i);
    }
    Index(line);
    const std::string message = Check().Message(10);
    EXPECT_NE(message.find("ほか 5 件"), std::string::npos);
    EXPECT_EQ(message.find("x10"), std::string::npos);
}

}  // namespace
}  // namespace zorvan
