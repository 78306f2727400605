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
    EXPECT_EQ(index_.GetGroupItems("web"), Texts{"web"});  // case-sensitive, not found
    EXPECT_EQ(index_.GetGroupItems(""), Texts{});
}

TEST_F(GroupIndexFile, UpdateMovesABlockToTheFront) {
    Given("Mail#0\t2\r\nWeb#0\t5\t9\t12");
    index_.UpdateGroupLine("Web", 9, 9);
    EXPECT_EQ(Content(), "Mail#0\t2\r\nWeb#0\t9\t5\t12");
}

TEST_F(GroupIndexFile, UpdateAddsRemovesAndAppendsMissingGroups) {
    index_.UpdateGroupLine("Web#0", kNoBlock, kNoBlock);  // a new group
    EXPECT_EQ(Content(), "Web#0");
    index_.UpdateGroupLine("Web", kNoBlock, 3);
    index_.UpdateGroupLine("Web", kNoBlock, 8);
    EXPECT_EQ(Content(), "Web#0\t8\t3");
    index_.UpdateGroupLine("Web", 3, kNoBlock);
    EXPECT_EQ(Content(), "Web#0\t8");
    index_.UpdateGroupLine("Mail", kNoBlock, 4);  // unknown group: appended with its block
    EXPECT_EQ(Content(), "Web#0\t8\r\nMail\t4");
}

TEST_F(GroupIndexFile, UpdateComparesBlocksAsNumbersAndKeepsNonNumbers) {
    Given("Web#0\t05\tabc\t-1\t7");
    index_.UpdateGroupLine("Web", 5, kNoBlock);
    EXPECT_EQ(Content(), "Web#0\tabc\t-1\t7");
}

TEST_F(GroupIndexFile, UpdateRemovesEveryCopyAndKeepsEmptyFieldsWhereTheyWere) {
    Given("Web#0\t7\t\t3\t7\tx\t7\r\nTail#0\t3\t");
    index_.UpdateGroupLine("Web", 7, 9);
    index_.UpdateGroupLine("Tail", 3, kNoBlock);
    EXPECT_EQ(Content(), "Web#0\t9\t\t3\tx\r\nTail#0\t");
}

TEST_F(GroupIndexFile, UpdateOfALongLineMovesOnlyTheNamedBlock) {
    std::string blocks;
    for (int block = 1; block <= 50000; ++block) {
        blocks.append("\t").append(std::to_string(block));
    }
    Given("Big#0" + blocks);
    index_.UpdateGroupLine("Big", 25000, 25000);
    index_.UpdateGroupLine("Big", 25000, kNoBlock);
    index_.UpdateGroupLine("Big", kNoBlock, 25000);
    std::string others = blocks;
    others.erase(others.find("\t25000\t"), 6);
    EXPECT_EQ(Content(), "Big#0\t25000" + others);
    index_.UpdateGroupLine("Big", 50000, kNoBlock);  // the last
    index_.UpdateGroupLine("Big", 1, kNoBlock);      // the first after the head
    EXPECT_EQ(Content(), "Big#0\t25000" + others.substr(2, others.size() - 2 - 6));
}

TEST_F(GroupIndexFile, UpdateChangesEveryLineOfTheGroup) {
    Given("Web#0\t1\t2\r\nOther#0\t2\r\nWeb#0\t2");
    index_.UpdateGroupLine("Web", 2, 6);
    EXPECT_EQ(Content(), "Web#0\t6\t1\r\nOther#0\t2\r\nWeb#0\t6");
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

TEST_F(GroupIndexFile, JapaneseNamesAreStoredInCp932) {
    index_.UpdateGroupLine("銀行#1", kNoBlock, kNoBlock);
    index_.UpdateGroupLine("銀行", kNoBlock, 11);
    EXPECT_EQ(Content(), "\x8B\xE2\x8D\x73#1\t11");
    EXPECT_EQ(index_.GetGroupItems("銀行"), (Texts{"銀行#1", "11"}));
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
