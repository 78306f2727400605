#include "vault/GroupIndex.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/TempDir.h"

namespace zorvan {
namespace {

using Texts = std::vector<std::string>;

// An index file of the given bytes, changed by change; its bytes afterwards.
std::string IndexAfter(const std::string& given, const std::function<void(GroupIndex&)>& change) {
    test::TempDir dir;
    test::WriteBytes(dir / "Zorvan.idx", given);
    GroupIndex index(dir / "Zorvan.idx");
    change(index);
    return test::ReadBytes(dir / "Zorvan.idx");
}

TEST(GroupIndexRead, NamesAndLinesInFileOrder) {
    EXPECT_EQ(GroupIndex::GetGroupName("Web#0\t5"), "Web");
    EXPECT_EQ(GroupIndex::GetGroupName("Web\t4\t7"), "Web");
    EXPECT_EQ(GroupIndex::GetGroupName("Web"), "Web");
    EXPECT_EQ(GroupIndex::GetGroupName("#1"), "");
    // A line carries a name up to "#" or TAB, "{" and "}" are reserved.
    for (const char* bad : {"", "Web#1", "a\tb", "{x", "x}", "a\rb", "a\nb"}) {
        EXPECT_FALSE(IsValidGroupName(bad)) << bad;
    }
    EXPECT_TRUE(IsValidGroupName("銀行 口座-1"));

    test::TempDir dir;
    GroupIndex index(dir / "Zorvan.idx");
    EXPECT_EQ(index.GetGroupNames(), Texts{""});
    test::WriteBytes(dir / "Zorvan.idx", "Web#0\t1\t7\r\n#1\t3\r\n\r\nImported\t16");
    EXPECT_EQ(index.GetGroupNames(), (Texts{"Web", "Imported"}));

    test::WriteBytes(dir / "Zorvan.idx", "Web#0\t1\t7\r\nEmpty#0\r\nPlain\t4\t7");
    EXPECT_EQ(index.GetGroupItems("Web"), (Texts{"Web#0", "1", "7"}));
    EXPECT_EQ(index.GetGroupItems("Empty"), Texts{"Empty#0"});
    EXPECT_EQ(index.GetGroupItems("Plain"), (Texts{"Plain", "4", "7"}));
    EXPECT_EQ(index.GetGroupItems("web"), Texts{"web"});  // case-sensitive, not found
    EXPECT_EQ(index.GetGroupItems(""), Texts{});
    test::WriteBytes(dir / "Zorvan.idx", "\x8B\xE2\x8D\x73#1\t11");
    EXPECT_EQ(index.GetGroupItems("銀行"), (Texts{"銀行#1", "11"}));
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
        EXPECT_EQ(IndexAfter(row.given,
                             [&](GroupIndex& index) {
                                 index.UpdateGroupLine(row.group, row.from, row.to);
                             }),
                  row.after)
            << row.given << " " << row.group << " " << row.from << " " << row.to;
    }
}

TEST(GroupIndexUpdate, DeleteRenameAndMoveRewriteOnlyTheirLines) {
    const struct {
        const char* name;
        const char* given;
        std::function<void(GroupIndex&)> change;
        const char* after;
    } rows[] = {
        {"delete takes every line of the group", "Web#0\t1\r\n\x8B\xE2\x8D\x73#1\t11\r\nWeb\t3",
         [](GroupIndex& index) { index.DeleteGroupLine("Web"); }, "\x8B\xE2\x8D\x73#1\t11"},
        {"rename keeps the blocks and adds none to an empty group", "Web#0\t1\t7\r\nEmpty#0",
         [](GroupIndex& index) {
             index.RenameGroupLine("Web", "Internet#1");
             index.RenameGroupLine("Empty", "Empty#1");
         },
         "Internet#1\t1\t7\r\nEmpty#1"},
        {"move to the front of another group", "Web#0\t1\t7\r\nMail#0\t3",
         [](GroupIndex& index) { index.MoveItem(7, "Web", "Mail"); }, "Web#0\t1\r\nMail#0\t7\t3"},
        {"move to a new group", "Web#0\t1\r\nMail#0\t7\t3",
         [](GroupIndex& index) { index.MoveItem(1, "Web", "New"); },
         "Web#0\r\nMail#0\t7\t3\r\nNew\t1"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IndexAfter(row.given, row.change), row.after) << row.name;
    }
}

TEST(GroupIndexUpdate, MovingSeveralLeavesTheSameIndexAsMovingThemOneByOne) {
    const std::string given = "G\t1\t2\t3\t4\t5\t6\r\nH\t7\t8\r\nG\t1";
    const std::vector<BlockNumber> chosen{1, 4, 5};
    for (const char* target : {"H", "New", "G"}) {
        const std::string oneByOne = IndexAfter(given, [&](GroupIndex& index) {
            for (const BlockNumber block : chosen) {
                index.MoveItem(block, "G", target);
            }
        });
        EXPECT_EQ(
            IndexAfter(given, [&](GroupIndex& index) { index.MoveItems(chosen, "G", target); }),
            oneByOne)
            << target;
    }
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
