#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/StorageError.h"
#include "support/StepInterrupt.h"
#include "support/TempDir.h"
#include "vault/Crc32.h"
#include "vault/DurableFiles.h"
#include "vault/VaultJournal.h"

namespace zorvan {
namespace {

using test::InterruptAt;
using test::Interrupted;

class VaultJournalTest : public ::testing::Test {
protected:
    VaultJournalTest() {
        test::WriteBytes(paths_.strIniFile, "old ini");
        test::WriteBytes(paths_.strItmFile, "old itm");
        test::WriteBytes(paths_.strIdxFile, "old idx");
    }
    ~VaultJournalTest() override { durable::SetStepHook(nullptr); }

    void Stage(const std::filesystem::path& target, const std::string& bytes) const {
        test::WriteBytes(VaultJournal::StagedPath(target), bytes);
    }

    // Stages "new <extension>" for each file and lets the commit die at the given rename.
    void CutCommitAt(int rename, const std::vector<std::filesystem::path>& files,
                     VaultJournal::Kind kind = VaultJournal::Kind::kPasswordChange) {
        for (const auto& file : files) {
            Stage(file, "new " + file.extension().string().substr(1));
        }
        InterruptAt("rename", rename);
        EXPECT_THROW(journal_.Commit(kind, files), Interrupted);
        durable::SetStepHook(nullptr);
    }

    std::string Read(const std::filesystem::path& file) const { return test::ReadBytes(file); }
    bool Exists(const std::filesystem::path& file) const { return std::filesystem::exists(file); }

    test::TempDir dir_;
    DataPaths paths_ = dir_.InitVault();
    VaultJournal journal_{paths_};
};

// A commit that runs through is the password change's and the restore's to check.
TEST_F(VaultJournalTest, InterruptedBeforeTheCommitPointRecoveryKeepsTheOldFiles) {
    CutCommitAt(1, {paths_.strIniFile, paths_.strItmFile});  // the journal never gets its name
    EXPECT_FALSE(journal_.Pending());
    EXPECT_EQ(RecoverInterruptedChange(paths_), VaultJournal::Recovery::kDiscarded);
    EXPECT_EQ(Read(paths_.strIniFile), "old ini");
    EXPECT_EQ(Read(paths_.strItmFile), "old itm");
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
        const auto name = entry.path().filename().string();
        EXPECT_EQ(name.find(".new"), std::string::npos) << name;
    }
}

// Rename 1 names the journal: the commit point. Killed recoveries that run again
// are the crash campaign's.
TEST_F(VaultJournalTest, InstalledFileDamagedBeforeRecoveryResumesStopsIt) {
    CutCommitAt(2, {paths_.strIniFile, paths_.strIdxFile, paths_.strItmFile},
                VaultJournal::Kind::kRestore);
    EXPECT_EQ(journal_.Read().kind, VaultJournal::Kind::kRestore);
    InterruptAt("rename", 3);  // the settings and the index are in place
    EXPECT_THROW(journal_.Recover(), Interrupted);
    durable::SetStepHook(nullptr);
    EXPECT_EQ(Read(paths_.strIniFile), "new ini");
    test::WriteBytes(paths_.strIdxFile, "new idX");
    EXPECT_THROW(journal_.Recover(), StorageError);
    EXPECT_EQ(Read(paths_.strItmFile), "old itm");
    EXPECT_TRUE(journal_.Pending());
}

TEST_F(VaultJournalTest, StagedFileDamagedAfterTheCommitStopsRecoveryBeforeAnyRename) {
    CutCommitAt(2, {paths_.strIniFile, paths_.strItmFile});
    Stage(paths_.strItmFile, "new itX");
    EXPECT_THROW(journal_.Recover(), StorageError);
    EXPECT_EQ(Read(paths_.strIniFile), "old ini");
    EXPECT_EQ(Read(paths_.strItmFile), "old itm");
    EXPECT_TRUE(journal_.Pending());
}

TEST_F(VaultJournalTest, DamagedJournalIsRefusedAndNothingMoves) {
    CutCommitAt(2, {paths_.strItmFile});
    std::string text = Read(journal_.file());
    text[text.find("Zorvan.itm") + 7] = 'x';
    test::WriteBytes(journal_.file(), text);
    EXPECT_THROW(journal_.Recover(), StorageError);
    test::WriteBytes(journal_.file(), "");
    EXPECT_THROW(journal_.Recover(), StorageError);
    test::WriteBytes(journal_.file(), "end\t00000000\n");
    EXPECT_THROW(journal_.Recover(), StorageError);
    EXPECT_EQ(Read(paths_.strItmFile), "old itm");
    EXPECT_EQ(Read(VaultJournal::StagedPath(paths_.strItmFile)), "new itm");
}

TEST_F(VaultJournalTest, JournalNamingAFileOutsideTheVaultIsRefused) {
    test::WriteBytes(dir_ / "victim", "keep");
    Stage(dir_ / "victim", "evil");
    const auto crc = [](const std::string& bytes) {
        char hex[9];
        std::snprintf(
            hex, sizeof hex, "%08X",
            Crc32::Of({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}));
        return std::string(hex);
    };
    std::string text = "ZorvanJournal\t1\nkind\trestore\nfile\tvictim\t4\t" + crc("evil") + "\n";
    text += "end\t" + crc(text) + "\n";
    test::WriteBytes(journal_.file(), text);
    EXPECT_THROW(journal_.Recover(), StorageError);
    EXPECT_EQ(Read(dir_ / "victim"), "keep");
    std::filesystem::remove(journal_.file());
    EXPECT_THROW(journal_.Commit(VaultJournal::Kind::kRestore, {dir_ / "victim"}), StorageError);
}

TEST_F(VaultJournalTest, NewChangeIsRefusedWhileOneIsPending) {
    CutCommitAt(2, {paths_.strItmFile});
    EXPECT_THROW(journal_.DiscardStaged(), StorageError);
    Stage(paths_.strIniFile, "new ini");
    EXPECT_THROW(journal_.Commit(VaultJournal::Kind::kPasswordChange, {paths_.strIniFile}),
                 StorageError);
    EXPECT_EQ(Read(paths_.strIniFile), "old ini");
}

TEST_F(VaultJournalTest, RecoveryRemovesUnfinishedBackupsAndLeftoverTemporariesOnly) {
    const auto backups = paths_.strBackupFolder;
    test::WriteBytes(backups / "20030405-134507", "finished");
    test::WriteBytes(backups / "20030405-134508.tmp", "cut short");
    test::WriteBytes(backups / "notes.tmp", "the user's");
    test::WriteBytes(dir_ / ".Zorvan.ini.new.Ab12Cd", "settings rewrite cut short");
    test::WriteBytes(dir_ / "Zorvan.ini.bak", "the user's");
    EXPECT_EQ(RecoverInterruptedChange(paths_), VaultJournal::Recovery::kDiscarded);
    EXPECT_TRUE(Exists(backups / "20030405-134507"));
    EXPECT_FALSE(Exists(backups / "20030405-134508.tmp"));
    EXPECT_TRUE(Exists(backups / "notes.tmp"));
    EXPECT_FALSE(Exists(dir_ / ".Zorvan.ini.new.Ab12Cd"));
    EXPECT_TRUE(Exists(dir_ / "Zorvan.ini.bak"));
}

TEST(Crc32Test, MatchesKnownValuesWhateverTheLengthAndTheSplit) {
    const auto crc = [](const std::string& text) {
        return Crc32::Of({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    };
    EXPECT_EQ(crc(""), 0u);
    EXPECT_EQ(crc("123456789"), 0xCBF43926u);
    EXPECT_EQ(crc("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
    std::vector<std::uint8_t> bytes(1 << 20);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    }
    EXPECT_EQ(Crc32::Of(bytes), 0xA2DCF263u);
    Crc32 pieces;
    std::size_t at = 0;
    for (std::size_t length = 1; at < bytes.size(); length = length % 29 + 1) {
        const std::size_t take = std::min(length, bytes.size() - at);
        pieces.Add(std::span(bytes).subspan(at, take));
        at += take;
    }
    EXPECT_EQ(pieces.value(), 0xA2DCF263u);
}

}  // namespace
}  // namespace zorvan
