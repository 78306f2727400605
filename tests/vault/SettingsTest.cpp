#include <gtest/gtest.h>

#include "support/Golden.h"
#include "support/TempDir.h"
#include "vault/DataFiles.h"
#include "vault/Settings.h"
#include "vault/SettingsStore.h"

namespace zorvan {
namespace {

TEST(SettingsWrite, ReplacesOrAddsTheKeyInItsSectionAndLeavesTheRest) {
    const struct {
        const char* given;  // nullptr: no file
        const char* key;
        const char* value;
        const char* after;
    } rows[] = {
        // The first entry gets its header, and no line break after it.
        {nullptr, "version", "5", "[Zorvan]\r\nversion=5"},
        {"", "wait", "4", "[Zorvan]\r\nwait=4"},
        // Order stays; blanks around header and entry go.
        {"  [Zorvan]  \r\n  top = 120  \r\nwait=4\r\n[Other]\r\nx=1", "top", "240",
         "[Zorvan]\r\ntop=240\r\nwait=4\r\n[Other]\r\nx=1"},
        // A new key ends its section; a missing section is appended.
        {"[Zorvan]\r\nwait=4\r\n[Other]\r\nx=1", "pass", "ABC",
         "[Zorvan]\r\nwait=4\r\npass=ABC\r\n[Other]\r\nx=1"},
        {"[Other]\r\nwait=9", "wait", "4", "[Other]\r\nwait=9\r\n[Zorvan]\r\nwait=4"},
        // Lines without "=" stay where they were; leading empty lines vanish.
        {"\r\n\r\n[Zorvan]\r\njust text\r\n\r\nwait=4", "wait", "5",
         "[Zorvan]\r\njust text\r\n\r\nwait=5"},
        {"[Zorvan]\r\nwait=1\r\nwait=2", "wait", "3", "[Zorvan]\r\nwait=3\r\nwait=3"},
        {"", "lastgroup", "銀行=口座", "[Zorvan]\r\nlastgroup=\x8B\xE2\x8D\x73=\x8C\xFB\x8D\xC0"},
    };
    for (const auto& row : rows) {
        test::TempDir dir;
        if (row.given != nullptr) {
            test::WriteBytes(dir / "Zorvan.ini", row.given);
        }
        WriteSetting(dir / "Zorvan.ini", "Zorvan", row.key, row.value);
        EXPECT_EQ(test::ReadBytes(dir / "Zorvan.ini"), row.after) << row.key << "=" << row.value;
        EXPECT_EQ(ReadSetting(dir / "Zorvan.ini", "Zorvan", row.key, ""), row.value) << row.key;
    }
}

TEST(SettingsRead, FindsTheFirstEntryOfTheKeyInItsSectionOnly) {
    const struct {
        const char* given;
        const char* key;
        const char* value;
    } rows[] = {
        {"[Zorvan]\r\n  top = 120  ", "top", "120"},
        {"[Zorvan]\r\n  top = 120  ", "Top", "default"},  // keys are case-sensitive
        {"wait=1\r\n[Other]\r\nwait=2\r\n[Zorvan]\r\nx=3\r\n[Later]\r\nwait=5", "wait", "default"},
        {"[Zorvan]\r\njust text", "just text", "default"},
        {"[Zorvan]\r\nwait=1\r\nwait=2", "wait", "1"},
        {"[Zorvan]\nwait=7\rtop=3", "wait", "7"},  // LF and CR alone end lines too
        {"[Zorvan]\nwait=7\rtop=3", "top", "3"},
    };
    for (const auto& row : rows) {
        test::TempDir dir;
        test::WriteBytes(dir / "Zorvan.ini", row.given);
        EXPECT_EQ(ReadSetting(dir / "Zorvan.ini", "Zorvan", row.key, "default"), row.value)
            << row.given << " " << row.key;
    }
    test::TempDir dir;
    std::filesystem::create_directory(dir / "Zorvan.ini");  // a folder where the file should be
    EXPECT_EQ(ReadSetting(dir / "Zorvan.ini", "Zorvan", "wait", "default"), "default");
}

TEST(SettingsStore, TypedKeysConvertAndFallBackToTheirDefaults) {
    test::TempDir dir;
    const auto ini = dir / "Zorvan.ini";
    SettingsStore store(ini);
    test::WriteBytes(
        ini,
        "[Zorvan]\r\ntoolbar=False\r\nwait=12\r\nstatusbar=0\r\ntopmost=true\r\nleft=abc\r\n"
        "top=99999\r\ntooltip=yes");
    EXPECT_FALSE(store.Get(settings::kToolbar));
    EXPECT_FALSE(store.Get(settings::kStatusbar));
    EXPECT_TRUE(store.Get(settings::kTopmost));
    // Missing or not a truth value: the key's default, which is on for these two.
    EXPECT_TRUE(store.Get(settings::kGridLine));
    EXPECT_TRUE(store.Get(settings::kTooltip));
    EXPECT_EQ(store.Get(settings::kWait), 12);
    EXPECT_EQ(store.Get(settings::kLeft), 0);  // not a number
    EXPECT_EQ(store.Get(settings::kTop), 0);   // beyond 16 bits
    store.Set(settings::kPassView, false);
    store.Set(settings::kTransparency, 128);
    EXPECT_EQ(ReadSetting(ini, "Zorvan", "passview", ""), "False");
    EXPECT_EQ(ReadSetting(ini, "Zorvan", "transparency", ""), "128");
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
