#include <gtest/gtest.h>

#include <stdexcept>

#include "csv/CsvDate.h"
#include "csv/CsvEngine.h"
#include "csv/CsvFormat.h"
#include "platform/Codepage.h"
#include "platform/StorageError.h"
#include "tools/TestItem.h"
#include "vault/GroupIndex.h"
#include "vault/TextFile.h"
#include "vault/VaultFixture.h"

namespace zorvan {
namespace {

using test::Item;
using Texts = std::vector<std::string>;

class CsvEngineTest : public test::VaultFixture {
protected:
    // Stores the items into the group so that they show in the given order.
    void Fill(const std::string& group, const std::vector<ItemRecord>& items) {
        index_.UpdateGroupLine(group, kNoBlock, kNoBlock);
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            index_.UpdateGroupLine(GroupIndex::GetGroupName(group), kNoBlock, Store(*it));
        }
    }

    std::vector<ItemRecord> Load(const std::string& group) const {
        std::vector<ItemRecord> items;
        const auto line = index_.GetGroupItems(group);
        for (std::size_t i = 1; i < line.size(); ++i) {
            items.push_back(store_.LoadItem(*ParseBlockNumber(line[i])));
        }
        return items;
    }

    Texts Names(const std::string& group) const {
        Texts names;
        for (const auto& item : Load(group)) {
            names.push_back(item.ItemName);
        }
        return names;
    }

    // The three vault files, to show that a refused operation changed nothing.
    Texts VaultBytes() const { return {test::ReadBytes(paths_.strIdxFile), ItemFile(), Bitmap()}; }

    std::filesystem::path Csv(const std::string& name = "items.csv") const { return dir_ / name; }
    void WriteCsv(const std::string& utf8, const std::string& name = "items.csv") const {
        test::WriteBytes(Csv(name), codepage::ToAnsi(utf8));
    }

    CsvEngine engine_{vault_};
};

TEST_F(CsvEngineTest, ExportWritesEveryItemInStoredOrderAsCp932WithCrLf) {
    Fill("Web#0", {Item("メール", "hanako", "日本語パス", "https://example.jp/", "", 1, 37716.0),
                   Item("a\"b,c", "", "", "", "x\r\ny", 5, 37716.75)});
    ASSERT_TRUE(engine_.ExportCsv(Csv(), "Web", true, false));
    EXPECT_EQ(test::ReadBytes(Csv()),
              codepage::ToAnsi("メール,hanako,日本語パス,https://example.jp/,,1,2003/04/05\r\n"
                               "\"a\"\"b,c\",,,,x\\r\\ny,5,2003/04/05\r\n"));
}

TEST_F(CsvEngineTest, ExportThenImportGivesTheSameItemsInReverseCountingEach) {
    const std::vector<ItemRecord> items = {
        Item("a\"b,c", "id,\"quoted\"", "p,w\"", "https://example.jp/?a=1,b=2", "x\r\ny\r\n", 0,
             0.0),
        Item("日本語の名前", "ユーザー", "パスワード", "", "メモ\r\n二行目", 5, 37716.0),
        Item("  blanks  ", "", "", "", "", 1, 73050.0),
    };
    Fill("Web#0", items);
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    CsvHooks hooks;
    hooks.progress = [&](std::size_t done, std::size_t total) {
        progress.emplace_back(done, total);
    };
    ASSERT_TRUE(engine_.ExportCsv(Csv(), "Web", true, false, hooks));
    ASSERT_TRUE(engine_.ImportCsv(Csv(), "Copy", hooks));
    EXPECT_EQ(progress, (std::vector<std::pair<std::size_t, std::size_t>>{
                            {1, 3}, {2, 3}, {3, 3}, {1, 3}, {2, 3}, {3, 3}}));
    const auto copied = Load("Copy");
    ASSERT_EQ(copied.size(), items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(copied[items.size() - 1 - i], items[i]) << i;
    }
    EXPECT_TRUE(copied.front().HasExpiry());  // flags 5 have bit 0 set
}

TEST_F(CsvEngineTest, RefusedExportsLeaveEveryFileAsItWas) {
    EXPECT_FALSE(engine_.GroupExists(""));  // an empty index names no group
    Fill("Web#0", {Item("a")});
    CsvHooks yes;
    yes.askOverwrite = [](const std::string&) { return true; };
    // A group is found by its whole name, exactly.
    for (const char* group : {"web", "We", "Web#0", ""}) {
        EXPECT_FALSE(engine_.ExportCsv(Csv(), group, true, false, yes)) << group;
    }
    EXPECT_FALSE(engine_.ExportCsv("", "Web", true, false, yes));
    EXPECT_FALSE(textfile::FileExists(Csv()));
    const Texts before = VaultBytes();
    for (const auto& file : {paths_.strIdxFile, paths_.strItmFile, paths_.strBmpFile}) {
        EXPECT_FALSE(engine_.ExportCsv(file, "Web", true, false, yes));
        EXPECT_FALSE(engine_.ExportCsv(file, "Web", false, true, yes));
    }
    EXPECT_EQ(VaultBytes(), before);
    // A record that cannot be read fails the export before the file is opened.
    index_.UpdateGroupLine("Web", kNoBlock, 999);
    test::WriteBytes(Csv(), "old\r\n");
    EXPECT_FALSE(engine_.ExportCsv(Csv(), "Web", false, false));
    EXPECT_FALSE(engine_.lastError().empty());
    EXPECT_EQ(test::ReadBytes(Csv()), "old\r\n");
}

TEST_F(CsvEngineTest, ExistingFileIsAskedAboutAndOnlyYesWritesIt) {
    Fill("Web#0", {Item("a")});
    test::WriteBytes(Csv(), "old\r\n");
    Texts questions;
    bool answer = false;
    CsvHooks hooks;
    hooks.askOverwrite = [&](const std::string& question) {
        questions.push_back(question);
        return answer;
    };
    EXPECT_FALSE(engine_.ExportCsv(Csv(), "Web", true, false, hooks));
    EXPECT_FALSE(engine_.ExportCsv(Csv(), "Web", true, true, hooks));
    EXPECT_FALSE(engine_.ExportCsv(Csv(), "Web", true, false));  // nobody to ask: No
    EXPECT_EQ(test::ReadBytes(Csv()), "old\r\n");
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0], PathToUtf8(Csv()) + "は既に存在しています。\r\n上書きしますか？");

    answer = true;
    const std::string line = "a,,,,,0,1899/12/30\r\n";
    ASSERT_TRUE(engine_.ExportCsv(Csv(), "Web", true, true, hooks));
    EXPECT_EQ(test::ReadBytes(Csv()), "old\r\n" + line);
    ASSERT_TRUE(engine_.ExportCsv(Csv(), "Web", true, false, hooks));
    EXPECT_EQ(test::ReadBytes(Csv()), line);
    EXPECT_EQ(questions.size(), 4u);
    ASSERT_TRUE(engine_.ExportCsv(Csv(), "Web", false, true, hooks));
    EXPECT_EQ(questions.size(), 4u);
    EXPECT_EQ(test::ReadBytes(Csv()), line + line);
}

TEST_F(CsvEngineTest, ExportOfAnEmptyGroupCreatesOrEmptiesTheFile) {
    Fill("Empty#0", {});
    ASSERT_TRUE(engine_.ExportCsv(Csv(), "Empty", true, false));
    EXPECT_EQ(test::ReadBytes(Csv()), "");
    test::WriteBytes(Csv(), "old\r\n");
    ASSERT_TRUE(engine_.ExportCsv(Csv(), "Empty", false, true));
    EXPECT_EQ(test::ReadBytes(Csv()), "old\r\n");
    ASSERT_TRUE(engine_.ExportCsv(Csv(), "Empty", false, false));
    EXPECT_EQ(test::ReadBytes(Csv()), "");
}

TEST_F(CsvEngineTest, ImportPutsTheLinesInFrontOfTheGroupInReverse) {
    Fill("Web#0", {Item("old")});
    Fill("Other#1", {Item("other")});
    WriteCsv("one,1\r\ntwo,2\r\nthree,3\r\n");
    std::vector<std::pair<std::string, BlockNumber>> shown;
    CsvHooks hooks;
    hooks.itemImported = [&](const ItemRecord& item, BlockNumber block) {
        shown.emplace_back(item.ItemName, block);
    };
    ASSERT_TRUE(engine_.ImportCsv(Csv(), "Web", hooks));
    EXPECT_EQ(Names("Web"), (Texts{"three", "two", "one", "old"}));
    EXPECT_EQ(Names("Other"), Texts{"other"});
    EXPECT_EQ(index_.GetGroupItems("Web").front(), "Web#0");
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].first, "one");
    EXPECT_EQ(std::to_string(shown[2].second), index_.GetGroupItems("Web")[1]);
}

TEST_F(CsvEngineTest, ImportCreatesAMissingGroupWithoutFlag) {
    WriteCsv("abc\r\n\r\n");
    const double before = csv::TodayAsDays();
    ASSERT_TRUE(engine_.ImportCsv(Csv(), "新しいグループ"));
    const double after = csv::TodayAsDays();
    EXPECT_TRUE(engine_.GroupExists("新しいグループ"));
    const auto line = index_.GetGroupItems("新しいグループ");
    ASSERT_EQ(line.size(), 3u);
    EXPECT_EQ(line[0], "新しいグループ");
    const auto items = Load("新しいグループ");
    EXPECT_EQ(items[0].ItemName, "");  // empty lines are items too
    EXPECT_EQ(items[1].ItemName, "abc");
    EXPECT_GE(items[1].ExpireDate, before);
    EXPECT_LE(items[1].ExpireDate, after);
}

TEST_F(CsvEngineTest, RefusedImportsAndEmptyFilesChangeNothing) {
    Fill("Web#0", {Item("old")});
    WriteCsv("a,b\r\n");
    const Texts before = VaultBytes();
    EXPECT_FALSE(engine_.ImportCsv(Csv("missing.csv"), "Web"));
    EXPECT_FALSE(engine_.ImportCsv(dir_.path(), "Web"));
    for (const char* bad : {"", "Web#1", "a\tb", "{x}", "a\r\nb"}) {
        EXPECT_FALSE(engine_.ImportCsv(Csv(), bad)) << bad;
        EXPECT_FALSE(IsValidGroupName(bad)) << bad;
    }
    WriteCsv("", "empty.csv");
    EXPECT_TRUE(engine_.ImportCsv(Csv("empty.csv"), "Nothing"));
    EXPECT_FALSE(engine_.GroupExists("Nothing"));
    EXPECT_EQ(VaultBytes(), before);
}

TEST_F(CsvEngineTest, FailureKeepsTheItemsStoredBeforeIt) {
    Fill("Web#0", {Item("old")});
    WriteCsv("a\r\nb\r\nc\r\nd\r\n");
    CsvHooks hooks;
    std::vector<std::size_t> done;
    hooks.progress = [&](std::size_t line, std::size_t total) {
        EXPECT_EQ(total, 4u);
        done.push_back(line);
        if (line == 2) {
            throw std::runtime_error("stopped");
        }
    };
    EXPECT_FALSE(engine_.ImportCsv(Csv(), "Web", hooks));
    EXPECT_EQ(engine_.lastError(), "stopped");
    EXPECT_EQ(Names("Web"), (Texts{"b", "a", "old"}));
    EXPECT_EQ(done, (std::vector<std::size_t>{1, 2}));
}

TEST_F(CsvEngineTest, OneIndexWriteLeavesTheFilesOfOneUpdatePerLine) {
    // A vault with holes, so that allocation matters, imported both ways.
    Fill("Web#0", {Item("keep1"), Item("gone", "", "", "", std::string(40, 'm')), Item("keep2")});
    const auto gone = *ParseBlockNumber(index_.GetGroupItems("Web")[2]);
    index_.UpdateGroupLine("Web", gone, kNoBlock);
    store_.FreeItem(gone);
    // Every line carries its date, so that the clock plays no part.
    const std::string csvText =
        "a,1,,,,0,2024/01/02\r\n\"b,\"\"c\",2,p,u,m\\r\\n,1,2024/01/01\r\n" + std::string(50, 'l') +
        ",,,,,5,2000/2/29\r\n";
    WriteCsv(csvText);

    test::TempDir other;
    const DataPaths twin = other.InitVault();
    for (const auto& [from, to] : {std::pair{paths_.strIdxFile, twin.strIdxFile},
                                   {paths_.strItmFile, twin.strItmFile},
                                   {paths_.strBmpFile, twin.strBmpFile}}) {
        test::WriteBytes(to, test::ReadBytes(from));
    }
    ASSERT_TRUE(engine_.ImportCsv(Csv(), "Web"));
    ASSERT_TRUE(engine_.ImportCsv(Csv(), "New"));

    ItemStore store(twin.strItmFile, twin.strBmpFile);
    GroupIndex index(twin.strIdxFile);
    for (const char* group : {"Web", "New"}) {
        for (const auto& line : textfile::SplitLines(csvText)) {
            ItemRecord item = csv::ParseCsvLine(line);
            ItemPlaintext plain = BuildItemPlaintext(item);
            cipher().Encrypt(plain.bytes.span());
            index.UpdateGroupLine(
                group, kNoBlock,
                store.StoreItem(plain.bytes.span(), plain.count, item.Expire, item.ExpireDate));
        }
    }
    EXPECT_EQ(test::ReadBytes(paths_.strIdxFile), test::ReadBytes(twin.strIdxFile));
    EXPECT_EQ(ItemFile(), test::ReadBytes(twin.strItmFile));
    EXPECT_EQ(Bitmap(), test::ReadBytes(twin.strBmpFile));
}

}  // namespace
}  // namespace zorvan
