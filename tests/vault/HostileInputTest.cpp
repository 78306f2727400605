#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include "csv/CsvEngine.h"
#include "csv/CsvFormat.h"
#include "platform/StorageError.h"
#include "tools/CommandLine.h"
#include "vault/BackupFile.h"
#include "vault/BackupRestore.h"
#include "vault/GroupIndex.h"
#include "vault/Settings.h"
#include "vault/VaultCheck.h"
#include "vault/VaultFixture.h"

// Files a user, another program or a broken disk could hand us. Each gives a clear
// outcome: the data read as it stands, or a StorageError naming the file, and the
// rest of the vault untouched; nothing crashes, hangs or allocates by a size read
// from the file.
namespace zorvan {
namespace {

using namespace std::string_literals;
using test::ReadBytes;
using test::WriteBytes;

class HostileInput : public test::VaultFixture {
protected:
    template <typename Operation>
    void ExpectStorageError(Operation operation, const std::filesystem::path& file) {
        try {
            operation();
            ADD_FAILURE() << "no error";
        } catch (const StorageError& error) {
            EXPECT_EQ(error.file(), file);
            EXPECT_FALSE(error.cause().empty());
        }
    }

    std::string VaultBytes() const {
        return ReadBytes(paths_.strIniFile) + "|" + ReadBytes(paths_.strIdxFile) + "|" +
               ReadBytes(paths_.strItmFile) + "|" + Bitmap();
    }
};

// --- The settings file -------------------------------------------------------------

struct SettingsRow {
    const char* what;
    std::string bytes;
    const char* key;
    std::string expected;
};

class HostileSettings : public HostileInput, public ::testing::WithParamInterface<SettingsRow> {};

TEST_P(HostileSettings, KeyIsReadAsTheUserSeesItAndSurvivesARewrite) {
    const SettingsRow& row = GetParam();
    WriteBytes(paths_.strIniFile, row.bytes);
    EXPECT_EQ(ReadSetting(paths_.strIniFile, "Zorvan", row.key, "default"), row.expected);

    WriteSetting(paths_.strIniFile, "Zorvan", "version", "6");
    EXPECT_EQ(ReadSetting(paths_.strIniFile, "Zorvan", row.key, "default"), row.expected);
    EXPECT_EQ(ReadSetting(paths_.strIniFile, "Zorvan", "version", "default"), "6");
    const std::string after = ReadBytes(paths_.strIniFile);
    EXPECT_EQ(after.find("[Zorvan]"), after.rfind("[Zorvan]")) << "section doubled";
}

const std::string kLong(10 * 1024 * 1024, 'a');

INSTANTIATE_TEST_SUITE_P(
    Rows, HostileSettings,
    ::testing::Values(
        // An editor's UTF-8 byte order mark is no text: the header behind it counts.
        SettingsRow{"Bom", "\xEF\xBB\xBF[Zorvan]\r\nlastgroup=Web\r\n", "lastgroup", "Web"},
        // A zero byte is kept as a character of its line; the lines around it count.
        SettingsRow{"NulInValue", "[Zorvan]\r\nlastgroup=W\0b\r\npass=1"s, "lastgroup", "W\0b"s},
        SettingsRow{"NulLineBefore", "[Zorvan]\r\n\0\0=\0\r\nlastgroup=Web"s, "lastgroup", "Web"},
        // A 10 MB line is read whole, and the keys after it are still found.
        SettingsRow{"TenMegabyteValue", "[Zorvan]\r\nmemo=" + kLong + "\r\nlastgroup=Web", "memo",
                    kLong},
        SettingsRow{"KeyAfterTenMegabyteLine", "[Zorvan]\r\nmemo=" + kLong + "\r\nlastgroup=Web",
                    "lastgroup", "Web"},
        // A line that begins with "[" ends the section for reading; a rewrite must
        // not bury a new entry behind it.
        SettingsRow{"UnclosedHeader", "[Zorvan]\r\n[Other\r\nversion=5\r\nlastgroup=x", "lastgroup",
                    "default"}),
    [](const ::testing::TestParamInfo<SettingsRow>& info) { return info.param.what; });

// --- The group index ---------------------------------------------------------------

TEST_F(HostileInput, IndexLineOfAHundredThousandBlocksIsListedAndUpdatedWhole) {
    std::string line = "Big#0";
    for (int block = 1; block <= 100000; ++block) {
        line += '\t' + std::to_string(block);
    }
    WriteBytes(paths_.strIdxFile, line + "\r\nSmall#0\t7");
    ASSERT_EQ(index_.GetGroupItems("Big").size(), 100001u);

    index_.UpdateGroupLine("Big", 50000, 200000);
    const auto items = index_.GetGroupItems("Big");
    ASSERT_EQ(items.size(), 100001u);
    EXPECT_EQ(items[1], "200000");
    EXPECT_EQ(items.back(), "100000");
    EXPECT_EQ(index_.GetGroupItems("Small"), (std::vector<std::string>{"Small#0", "7"}));
}

TEST_F(HostileInput, BlockNumberBeyond32BitsIsNoBlockAndIsKeptAsText) {
    const std::string huge = "99999999999999999999";
    const BlockNumber good = StoreNamed("good");
    WriteBytes(paths_.strIdxFile, "Bad#0\t" + huge + "\t" + std::to_string(good) + "\r\nOk#0\t" +
                                      std::to_string(good));
    EXPECT_FALSE(ParseBlockNumber(huge));

    // Reported by the start-up check, named as it stands; nothing wraps to a block.
    const auto report = VaultCheck::Run(paths_);
    ASSERT_EQ(report.problems.size(), 2u);  // the bad entry, and "good" listed twice
    EXPECT_EQ(report.problems[0].entry, huge);

    // An export of the group stops with an error naming the index; the other
    // group exports.
    CsvEngine engine(vault_);
    EXPECT_FALSE(engine.ExportCsv(dir_ / "bad.csv", "Bad", false, false));
    EXPECT_NE(engine.lastError().find(huge), std::string::npos);
    EXPECT_TRUE(engine.ExportCsv(dir_ / "ok.csv", "Ok", false, false));

    // Changes to the group keep the entry as it was.
    index_.UpdateGroupLine("Bad", good, kNoBlock);
    EXPECT_EQ(index_.GetGroupItems("Bad"), (std::vector<std::string>{"Bad#0", huge}));
}

TEST_F(HostileInput, GroupNameOfTenThousandCharactersIsStoredListedAndRemembered) {
    std::string name;
    for (int i = 0; i < 10000; ++i) {
        name += "名";
    }
    ASSERT_TRUE(IsValidGroupName(name));
    const BlockNumber block = StoreNamed("item");
    index_.UpdateGroupLine(name + "#0", kNoBlock, kNoBlock);
    index_.UpdateGroupLine(name, kNoBlock, block);
    EXPECT_EQ(index_.GetGroupNames(), std::vector<std::string>{name});
    EXPECT_EQ(index_.GetGroupItems(name).back(), std::to_string(block));

    WriteSetting(paths_.strIniFile, "Zorvan", "lastgroup", name);
    EXPECT_EQ(ReadSetting(paths_.strIniFile, "Zorvan", "lastgroup", ""), name);

    WriteBytes(dir_ / "in.csv", "a,b,c");
    CsvEngine engine(vault_);
    EXPECT_TRUE(engine.ImportCsv(dir_ / "in.csv", name)) << engine.lastError();
    EXPECT_EQ(index_.GetGroupItems(name).size(), 3u);
}

TEST_F(HostileInput, GroupNameBytesThatAreNoCodePage932AreRewrittenAsQuestionMarksItemsKept) {
    WriteBytes(paths_.strIdxFile, "name\xFF\xFF\t3\t5\r\nOther#0");
    EXPECT_EQ(index_.GetGroupNames()[0], "name\uFFFD\uFFFD");

    // Any rewrite stores the text as read: the name changes, its blocks stay.
    index_.UpdateGroupLine("Other", kNoBlock, 9);
    EXPECT_EQ(ReadBytes(paths_.strIdxFile), "name??\t3\t5\r\nOther#0\t9");
}

// --- The item file and its bitmap --------------------------------------------------

TEST_F(HostileInput, RecordCountOfInt32MaxIsAnErrorAndTheOtherRecordsStillLoad) {
    const BlockNumber bad = StoreNamed("bad");
    const BlockNumber good = StoreNamed("good");
    std::string itm = ItemFile();
    const std::int32_t count = std::numeric_limits<std::int32_t>::max();
    std::memcpy(itm.data() + (bad - 1) * 16, &count, 4);
    WriteBytes(paths_.strItmFile, itm);

    ExpectStorageError([&] { store_.LoadItem(bad); }, paths_.strItmFile);
    ExpectStorageError([&] { store_.FreeItem(bad); }, paths_.strItmFile);
    EXPECT_EQ(store_.LoadItem(good).ItemName, "good");
}

TEST_F(HostileInput, EmptyBitmapBesideAMegabyteItemFileOverwritesNothing) {
    const BlockNumber first = StoreNamed("first");
    std::filesystem::resize_file(paths_.strItmFile, 1024 * 1024);
    WriteBytes(paths_.strBmpFile, "");
    const std::string before = ItemFile();

    // Every block the bitmap no longer covers may hold a record: new ones go after.
    const BlockNumber added = StoreNamed("added");
    EXPECT_EQ(added, 1024 * 1024 / 16 + 1);
    EXPECT_EQ(ItemFile().substr(0, before.size()), before);
    EXPECT_EQ(store_.LoadItem(first).ItemName, "first");
    EXPECT_EQ(store_.LoadItem(added).ItemName, "added");
    EXPECT_EQ(Bitmap().size(), static_cast<std::size_t>((added + 1 + 7) / 8));
}

// --- CSV import --------------------------------------------------------------------

TEST_F(HostileInput, MillionCommasOnOneLineGiveOneItemWithEmptyFields) {
    const std::string line = "name" + std::string(1000000, ',');
    const ItemRecord item = csv::ParseCsvLine(line, 40000.0);
    EXPECT_EQ(item.ItemName, "name");
    EXPECT_EQ(item.AccountID, "");
    EXPECT_EQ(item.AccountMemo, "");
    EXPECT_EQ(item.Expire, 0);
    EXPECT_EQ(item.ExpireDate, 40000.0);

    WriteBytes(dir_ / "in.csv", line + "\r\nsecond,x");
    CsvEngine engine(vault_);
    ASSERT_TRUE(engine.ImportCsv(dir_ / "in.csv", "g")) << engine.lastError();
    EXPECT_EQ(index_.GetGroupItems("g").size(), 3u);
}

TEST_F(HostileInput, MegabyteFieldIsImportedWhole) {
    const std::string big(1024 * 1024, 'p');
    WriteBytes(dir_ / "in.csv", "name,id,\"" + big + "\",url,memo,0,2030/01/02");
    CsvEngine engine(vault_);
    ASSERT_TRUE(engine.ImportCsv(dir_ / "in.csv", "g")) << engine.lastError();
    const auto items = index_.GetGroupItems("g");
    ASSERT_EQ(items.size(), 2u);
    const ItemRecord item = store_.LoadItem(*ParseBlockNumber(items[1]));
    EXPECT_EQ(item.AccountPass, big);
    EXPECT_EQ(item.RelatedURL, "url");
}

TEST_F(HostileInput, InvalidCodePage932IsRefusedWholeAndTheVaultIsUntouched) {
    StoreNamed("kept");
    index_.UpdateGroupLine("g", kNoBlock, 1);
    const std::string before = VaultBytes();
    // A lone lead byte at the end, a bad trail byte, bytes that are never text.
    for (const std::string bytes :
         {"a,b\r\nc,\x82", "a,\x81\x20x", "a,\xFD\xFE\xFF", "\x80,\xA0"}) {
        WriteBytes(dir_ / "in.csv", "ok,line\r\n" + bytes);
        CsvEngine engine(vault_);
        EXPECT_FALSE(engine.ImportCsv(dir_ / "in.csv", "g"));
        EXPECT_FALSE(engine.lastError().empty());
        EXPECT_EQ(VaultBytes(), before);
    }
}

// --- Backups -----------------------------------------------------------------------

struct BackupRow {
    const char* what;
    std::int32_t bmp, ini, idx, itm;
};

class HostileBackup : public HostileInput, public ::testing::WithParamInterface<BackupRow> {};

TEST_P(HostileBackup, IsListedButRefusedAndTheVaultIsUntouched) {
    const BackupRow& row = GetParam();
    WriteBytes(paths_.strIdxFile, "g#0\t1");
    StoreNamed("kept");
    const std::string before = VaultBytes();

    BackupHeader header;
    header.date = 37716.5;
    header.comment = "comment";
    header.bmpLength = row.bmp;
    header.iniLength = row.ini;
    header.idxLength = row.idx;
    header.itmLength = row.itm;
    const auto head = BackupFile::EncodeHeader(header);
    const auto file = paths_.strBackupFolder / "20030405-120000";
    WriteBytes(file, std::string(head.begin(), head.end()) + std::string(100, 'x'));

    // Still listed with its date and comment, so that it can be seen and deleted.
    EXPECT_EQ(BackupFile::ReadListing(file).comment, "comment");
    EXPECT_FALSE(BackupFile::ReadListing(file).dateText.empty());
    ExpectStorageError([&] { BackupFile::ReadHeader(file); }, file);
    ExpectStorageError([&] { BackupRestore::Restore(paths_, file); }, file);
    EXPECT_EQ(VaultBytes(), before);
}

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

INSTANTIATE_TEST_SUITE_P(Rows, HostileBackup,
                         ::testing::Values(BackupRow{"OneLengthPastTheEnd", 0, 0, 0, 101},
                                           BackupRow{"SumPastTheEnd", 30, 30, 30, 11},
                                           BackupRow{"AllLengthsMaximal", kMax, kMax, kMax, kMax},
                                           BackupRow{"NegativeLength", 10, -1, 10, 10},
                                           BackupRow{"MostNegativeLength", kMin, 0, 0, 100},
                                           BackupRow{"NegativeEvensOutTheSum", 150, -50, 0, 0}),
                         [](const ::testing::TestParamInfo<BackupRow>& info) {
                             return info.param.what;
                         });

// --- The command line --------------------------------------------------------------

TEST(HostileCommandLine, LongestLineWithAnUnclosedQuoteIsOneArgumentToTheEnd) {
    // 32,001 characters, about the longest command line Windows passes on.
    std::string line = "\"";
    for (int i = 0; i < 16000; ++i) {
        line += "a ";
    }
    EXPECT_EQ(SplitCommandLine(line), std::vector<std::string>{line.substr(1)});

    const auto closed = SplitCommandLine(line + "b\" /p secret");
    ASSERT_EQ(closed.size(), 3u);
    EXPECT_EQ(closed[0], line.substr(1) + "b");
    EXPECT_EQ(FindPasswordOption(closed), "secret");
}

}  // namespace
}  // namespace zorvan
