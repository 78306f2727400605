#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "vault/GroupIndex.h"

namespace zorvan {
namespace {

using Texts = std::vector<std::string>;

class GroupIndexFile : public ::testing::Test {
protected:
    void Given(const std::string& utf8) { test::WriteBytes(dir_ / "Zorvan.idx", utf8); }
    std::string Content() { return test::ReadBytes(dir_ / "Zorvan.idx"); }

    test::TempDir dir_;
    GroupIndex index_{dir_ / "Zorvan.idx"};
};

TEST(GroupName, IsTheTextBeforeHashElseBeforeTabElseTheLine) {
    EXPECT_EQ(GroupIndex::GetGroupName("Web#0\t5"), "Web");
    EXPECT_EQ(GroupIndex::GetGroupName("Web\t4\t7"), "Web");
    EXPECT_EQ(GroupIndex::GetGroupName("Web"), "Web");
    EXPECT_EQ(GroupIndex::GetGroupName("#1"), "");
}

TEST_F(GroupIndexFile, EmptyIndexHasOneEmptyGroupName) {
    EXPECT_EQ(index_.GetGroupNames(), Texts{""});
}

TEST_F(GroupIndexFile, GroupNamesInFileOrderSkippingEmptyNames) {
    Given("Web#0\t1\t7\r\n#1\t3\r\n\r\nImported\t16");
    EXPECT_EQ(index_.GetGroupNames(), (Texts{"Web", "Imported"}));
}

TEST_F(GroupIndexFile, GroupItemsGiveHeadThenBlocks) {
    Given("Web#0\t1\t7\r\nEmpty#0\r\nPlain\t4\t7");
    EXPECT_EQ(index_.GetGroupItems("Web"), (Texts{"Web#0", "1", "7"}));
    EXPECT_EQ(index_.GetGroupItems("Empty"), Texts{"Empty#0"});
    EXPECT_EQ(index_.GetGroupItems("Plain"), (Texts{"Plain", "4", "7"}));
    Given("\x8B\xE2\x8D\x73#1\t11");
    EXPECT_EQ(index_.GetGroupItems("銀行"), (Texts{"銀行#1", "11"}));
    EXPECT_EQ(index_.GetGroupItems("web"), Texts{"web"});  // case-sensitive, not found
    EXPECT_EQ(index_.GetGroupItems(""), Texts{});
}

TEST(GroupIndexUpdate, TakesTheOldBlockOffAndPutsTheNewOneInFront) {
    const struct {
        const char* given;
        const char* group;
        BlockNumber from, to;
        const char* after;
    } rows[] = {
        {"Mail#0\t2\r\nWeb#0\t5\t9\t12", "Web", 9, 9, "Mail#0\t2\r\nWeb#0\t9\t5\t12"},
        {"", "Web#0", kNoBlock, kNoBlock, "Web#0"},  // a new group
        {"Web#0\t3", "Web", kNoBlock, 8, "Web#0\t8\t3"},
        {"Web#0\t8\t3", "Web", 3, kNoBlock, "Web#0\t8"},
        {"Big#0\t1\t2\t3", "Big", 1, kNoBlock, "Big#0\t2\t3"},
        {"Big#0\t1\t2\t3", "Big", 3, kNoBlock, "Big#0\t1\t2"},
        {"Web#0\t8", "Mail", kNoBlock, 4, "Web#0\t8\r\nMail\t4"},  // unknown group: appended
        // Blocks compare as numbers; other fields stay, empty ones where they were.
        {"Web#0\t05\tabc\t-1\t7", "Web", 5, kNoBlock, "Web#0\tabc\t-1\t7"},
        {"Web#0\t7\t\t3\t7\tx\t7", "Web", 7, 9, "Web#0\t9\t\t3\tx"},
        {"Tail#0\t3\t", "Tail", 3, kNoBlock, "Tail#0\t"},
        {"Web#0\t1\t2\r\nOther#0\t2\r\nWeb#0\t2", "Web", 2, 6,
         "Web#0\t6\t1\r\nOther#0\t2\r\nWeb#0\t6"},                 // every line of the group
        {"", "銀行#1", kNoBlock, kNoBlock, "\x8B\xE2\x8D\x73#1"},  // stored in code page 932
        {"\x8B\xE2\x8D\x73#1", "銀行", kNoBlock, 11, "\x8B\xE2\x8D\x73#1\t11"},
    };
    for (const auto& row : rows) {
        test::TempDir dir;
        test::WriteBytes(dir / "Zorvan.idx", row.given);
        GroupIndex(dir / "Zorvan.idx").UpdateGroupLine(row.group, row.from, row.to);
        EXPECT_EQ(test::ReadBytes(dir / "Zorvan.idx"), row.after)
            << row.given << " " << row.group << " " << row.from << " " << row.to;
    }
}

TEST_F(GroupIndexFile, DeleteRemovesTheGroupsLines) {
    Given("Web#0\t1\r\n\x8B\xE2\x8D\x73#1\t11\r\nWeb\t3");
    index_.DeleteGroupLine("Web");
    EXPECT_EQ(index_.GetGroupNames(), Texts{"銀行"});
}

TEST_F(GroupIndexFile, RenameKeepsTheBlocksAndAddsNoneToAnEmptyGroup) {
    Given("Web#0\t1\t7\r\nEmpty#0");
    index_.RenameGroupLine("Web", "Internet#1");
    index_.RenameGroupLine("Empty", "Empty#1");
    EXPECT_EQ(Content(), "Internet#1\t1\t7\r\nEmpty#1");
}

TEST_F(GroupIndexFile, MoveItemTakesTheBlockFromOneGroupToTheFrontOfAnother) {
    Given("Web#0\t1\t7\r\nMail#0\t3");
    index_.MoveItem(7, "Web", "Mail");
    EXPECT_EQ(Content(), "Web#0\t1\r\nMail#0\t7\t3");
    index_.MoveItem(1, "Web", "New");
    EXPECT_EQ(Content(), "Web#0\r\nMail#0\t7\t3\r\nNew\t1");
}

TEST(BlockNumbers, ParseOnlyWholeNumbersThatFit32Bits) {
    EXPECT_EQ(ParseBlockNumber("17"), 17);
    EXPECT_EQ(ParseBlockNumber("-1"), -1);
    EXPECT_EQ(ParseBlockNumber("2147483647"), 2147483647);
    EXPECT_FALSE(ParseBlockNumber("2147483648"));
    EXPECT_FALSE(ParseBlockNumber("99999999999999999999"));
    EXPECT_FALSE(ParseBlockNumber(""));
    EXPECT_FALSE(ParseBlockNumber("12a"));
    EXPECT_FALSE(ParseBlockNumber(" 12"));
}

}  // namespace
}  // namespace zorvan
