#include <gtest/gtest.h>

#include "support/Golden.h"
#include "support/TempDir.h"
#include "vault/DataFiles.h"
#include "vault/Settings.h"
#include "vault/SettingsStore.h"

namespace zorvan {
namespace {

class SettingsFile : public ::testing::Test {
protected:
    std::string Read(std::string_view key, std::string_view def = "default") {
        return ReadSetting(ini_, "Zorvan", key, def);
    }
    void Write(std::string_view key, std::string_view value) {
        WriteSetting(ini_, "Zorvan", key, value);
    }
    void Given(const std::string& content) { test::WriteBytes(ini_, content); }
    std::string Content() { return test::ReadBytes(ini_); }

    test::TempDir dir_;
    std::filesystem::path ini_ = dir_ / "Zorvan.ini";
};

TEST_F(SettingsFile, FirstWriteGivesHeaderAndEntryWithoutTerminatorEvenToAMissingFile) {
    Write("version", "5");
    EXPECT_EQ(Content(), "[Zorvan]\r\nversion=5");
    Given("");
    Write("wait", "4");
    EXPECT_EQ(Content(), "[Zorvan]\r\nwait=4");
}

TEST_F(SettingsFile, ReplacingAKeyKeepsOrderAndDropsSurroundingBlanks) {
    Given("  [Zorvan]  \r\n  top = 120  \r\nwait=4\r\n[Other]\r\nx=1");
    Write("top", "240");
    EXPECT_EQ(Content(), "[Zorvan]\r\ntop=240\r\nwait=4\r\n[Other]\r\nx=1");
}

TEST_F(SettingsFile, NewKeyGoesAtTheEndOfItsSectionBeforeTheNextHeader) {
    Given("[Zorvan]\r\nwait=4\r\n[Other]\r\nx=1");
    Write("pass", "ABC");
    EXPECT_EQ(Content(), "[Zorvan]\r\nwait=4\r\npass=ABC\r\n[Other]\r\nx=1");
}

TEST_F(SettingsFile, MissingSectionIsAppendedAtTheEnd) {
    Given("[Other]\r\nwait=9");
    Write("wait", "4");
    EXPECT_EQ(Content(), "[Other]\r\nwait=9\r\n[Zorvan]\r\nwait=4");
    EXPECT_EQ(Read("wait"), "4");
}

TEST_F(SettingsFile, KeysAreCaseSensitiveAndBlanksAroundThemIgnored) {
    Given("[Zorvan]\r\n  top = 120  ");
    EXPECT_EQ(Read("Top"), "default");
    EXPECT_EQ(Read("top"), "120");
}

TEST_F(SettingsFile, EntriesOutsideTheSectionAreNeverRead) {
    Given("wait=1\r\n[Other]\r\nwait=2\r\n[Zorvan]\r\nx=3\r\n[Later]\r\nwait=5");
    EXPECT_EQ(Read("wait"), "default");
}

TEST_F(SettingsFile, LinesWithoutEqualsAreSkippedOnReadAndKeptOnWrite) {
    Given("\r\n\r\n[Zorvan]\r\njust text\r\n\r\nwait=4");
    EXPECT_EQ(Read("just text"), "default");
    Write("wait", "5");
    // Leading empty lines vanish; the others stay where they were.
    EXPECT_EQ(Content(), "[Zorvan]\r\njust text\r\n\r\nwait=5");
}

TEST_F(SettingsFile, DuplicateKeyReadsTheFirstAndWritesBoth) {
    Given("[Zorvan]\r\nwait=1\r\nwait=2");
    EXPECT_EQ(Read("wait"), "1");
    Write("wait", "3");
    EXPECT_EQ(Content(), "[Zorvan]\r\nwait=3\r\nwait=3");
}

TEST_F(SettingsFile, ValuesMayHoldEqualsSignsAndJapanese) {
    Write("lastgroup", "銀行=口座");
    EXPECT_EQ(Read("lastgroup"), "銀行=口座");
    EXPECT_EQ(Content(), "[Zorvan]\r\nlastgroup=\x8B\xE2\x8D\x73=\x8C\xFB\x8D\xC0");
}

TEST_F(SettingsFile, AcceptsLfOnlyAndCrOnlyLineEnds) {
    Given("[Zorvan]\nwait=7\rtop=3");
    EXPECT_EQ(Read("wait"), "7");
    EXPECT_EQ(Read("top"), "3");
}

TEST_F(SettingsFile, UnreadableFileGivesTheDefault) {
    std::filesystem::create_directory(ini_);  // a folder where the file should be
    EXPECT_EQ(Read("wait", "4"), "4");
}

TEST_F(SettingsFile, TypedKeysConvertAndFallBackToTheirDefaults) {
    SettingsStore store(ini_);
    Given(
        "[Zorvan]\r\ntoolbar=False\r\nwait=12\r\nstatusbar=0\r\ntopmost=true\r\nleft=abc\r\n"
        "top=99999");
    EXPECT_FALSE(store.Get(settings::kToolbar));
    EXPECT_FALSE(store.Get(settings::kStatusbar));
    EXPECT_TRUE(store.Get(settings::kTopmost));
    EXPECT_TRUE(store.Get(settings::kGridLine));  // absent
    EXPECT_EQ(store.Get(settings::kWait), 12);
    EXPECT_EQ(store.Get(settings::kLeft), 0);  // not a number
    EXPECT_EQ(store.Get(settings::kTop), 0);   // beyond 16 bits
    EXPECT_EQ(store.Get(settings::kSymbols), "_-#$%");
    store.Set(settings::kPassView, false);
    store.Set(settings::kTransparency, 128);
    EXPECT_EQ(ReadSetting(ini_, "Zorvan", "passview", ""), "False");
    EXPECT_EQ(ReadSetting(ini_, "Zorvan", "transparency", ""), "128");
}

TEST(DataFolder, InitCreatesTheFourFilesEmptyAndTheBackupFolder) {
    test::TempDir dir;
    const auto paths = InitDataFiles(dir.path());
    for (const auto& file :
         {paths.strIniFile, paths.strIdxFile, paths.strItmFile, paths.strBmpFile}) {
        ASSERT_TRUE(std::filesystem::is_regular_file(file)) << file;
        EXPECT_EQ(std::filesystem::file_size(file), 0u);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / "backup"));
    EXPECT_EQ(paths.strIniFile.filename(), "Zorvan.ini");
    EXPECT_EQ(paths.strBmpFile.filename(), "Zorvan.bmp");
}

TEST(DataFolder, InitLeavesExistingFilesAlone) {
    test::TempDir dir;
    test::WriteBytes(dir / "Zorvan.idx", "Web#0\t1");
    InitDataFiles(dir.path());
    EXPECT_EQ(test::ReadBytes(dir / "Zorvan.idx"), "Web#0\t1");
}

TEST(DataFolder, SampleSettingsReadAndRewriteByteForByte) {
    test::TempDir dir;
    const auto sample = test::ReadBytes(test::DataDir() / "vault-sample" / "Zorvan.ini");
    test::WriteBytes(dir / "Zorvan.ini", sample);
    EXPECT_EQ(ReadSetting(dir / "Zorvan.ini", "Zorvan", "lastgroup", ""), "Web");
    WriteSetting(dir / "Zorvan.ini", "Zorvan", "version", "5");
    EXPECT_EQ(test::ReadBytes(dir / "Zorvan.ini"), sample);
}

}  // namespace
}  // namespace zorvan
