#include "vault/DataFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/StorageError.h"
#include "support/TempDir.h"

#ifndef _WIN32
#include <sys/stat.h>

#include <functional>

#include "csv/CsvEngine.h"
#include "vault/BackupFile.h"
#include "vault/ItemRecord.h"
#include "vault/MasterPasswordChange.h"
#include "vault/Settings.h"
#include "vault/Vault.h"
#endif

namespace zorvan {
namespace {

TEST(DataFiles, FolderThatCannotBeCreatedIsReportedInJapaneseWithItsPath) {
    test::TempDir dir;
    const auto blocker = dir / "file";
    test::WriteBytes(blocker, "not a folder");
    try {
        InitDataFiles(blocker / "vault");
        FAIL() << "no error";
    } catch (const StorageError& error) {
        const std::string what = error.what();
        EXPECT_NE(what.find(PathToUtf8(blocker)), std::string::npos) << what;
        EXPECT_NE(what.find("フォルダを作成できません: "), std::string::npos) << what;
        EXPECT_FALSE(std::any_of(error.cause().begin(), error.cause().end(), [](char c) {
            return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
        })) << what;
    }
}

#ifndef _WIN32

unsigned ModeOf(const std::filesystem::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// The process's umask for one test, the old one back afterwards.
class Umask {
public:
    explicit Umask(mode_t mask) : old_(::umask(mask)) {}
    ~Umask() { ::umask(old_); }

private:
    mode_t old_;
};

// Every file below folder is 0600 and every folder 0700.
void ExpectOwnerOnly(const std::filesystem::path& folder) {
    EXPECT_EQ(ModeOf(folder), 0700u) << folder;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        EXPECT_EQ(ModeOf(entry.path()), entry.is_directory() ? 0700u : 0600u) << entry.path();
    }
}

TEST(DataFiles, MissingFoldersAreCreatedAndLooseModesTakenBackForTheUserAlone) {
    test::TempDir dir;
    const auto folder = dir / "a" / "b" / "vault";
    {
        const Umask none(0);
        InitDataFiles(folder);
    }
    EXPECT_EQ(ModeOf(dir / "a"), 0700u);
    EXPECT_EQ(ModeOf(dir / "a" / "b"), 0700u);
    ExpectOwnerOnly(folder);
    const std::pair<const char*, unsigned> loose[] = {
        {"Zorvan.ini", 0644}, {"Zorvan.idx", 0666}, {"Zorvan.itm", 0604},
        {"Zorvan.bmp", 0400}, {"backup", 0755},     {".", 0777},
    };
    for (const auto& [name, mode] : loose) {
        std::filesystem::permissions(folder / name, static_cast<std::filesystem::perms>(mode));
    }
    InitDataFiles(folder);
    ExpectOwnerOnly(folder);
}

TEST(DataFiles, EverythingTheVaultWritesAndEveryExportIsTheUsersAloneWhateverTheUmask) {
    test::TempDir dir;
    const auto vault = dir / "vault";
    const auto exports = dir / "exports";
    std::filesystem::create_directory(exports);
    {
        const Umask none(0);
        Vault opened(InitDataFiles(vault));
        opened.SetFirstPassword("zorvan");
        ItemRecord item;
        item.ItemName = "a";
        const BlockNumber block = opened.SaveItem("Web", item, kNoBlock);
        opened.SaveItem("Web", item, block);
        WriteSetting(opened.paths().strIniFile, "Zorvan", "wait", "4");
        opened.Backup("20240102-030405", {});
        opened.ChangePassword("new");
        ExpectOwnerOnly(vault);
    }
    Vault reopened(DataPaths::InFolder(vault));
    ASSERT_TRUE(reopened.Open("new"));
    for (const mode_t mask : {022, 077, 0}) {
        const Umask user(mask);
        for (const bool append : {false, true}) {
            const auto file =
                exports / ("web" + std::to_string(mask) + (append ? "a" : "") + ".csv");
            ASSERT_TRUE(CsvEngine(reopened).ExportCsv(file, "Web", false, append));
            EXPECT_EQ(ModeOf(file), 0600u) << file;
        }
    }
}

#endif

}  // namespace
}  // namespace zorvan
