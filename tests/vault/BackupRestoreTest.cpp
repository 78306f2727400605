#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "platform/StorageError.h"
#include "support/Golden.h"
#include "support/TempDir.h"
#include "vault/BackupFile.h"
#include "vault/BackupRestore.h"
#include "vault/Cipher.h"
#include "vault/VaultJournal.h"

namespace zorvan {
namespace {

const char* const kFiles[] = {"Zorvan.ini", "Zorvan.idx", "Zorvan.itm", "Zorvan.bmp"};

class BackupRestoreTest : public ::testing::Test {
protected:
    BackupRestoreTest() {
        // The vault in use differs from the sample in every file.
        test::WriteBytes(paths_.strIniFile, "[Zorvan]\r\npass=" + CheckValue("current"));
        test::WriteBytes(paths_.strIdxFile, "Other#0\t1");
        test::WriteBytes(paths_.strItmFile, std::string(48, '\x11'));
        test::WriteBytes(paths_.strBmpFile, "\x07");
        before_ = Snapshot();
    }

    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const char* name : kFiles) {
            files[name] = test::ReadBytes(dir_ / name);
        }
        return files;
    }
    std::filesystem::path Golden(const std::string& bytes) const {
        const auto file = paths_.strBackupFolder / "20030405-134507";
        test::WriteBytes(file, bytes);
        return file;
    }
    static std::string GoldenBytes() {
        return test::ReadBytes(test::DataDir() / "20030405-134507");
    }
    void ExpectUnchanged() const {
        EXPECT_EQ(Snapshot(), before_);
        EXPECT_FALSE(VaultJournal(paths_).Pending());
        for (const char* name : kFiles) {
            EXPECT_FALSE(std::filesystem::exists(VaultJournal::StagedPath(dir_ / name))) << name;
        }
    }

    test::TempDir dir_;
    DataPaths paths_ = dir_.InitVault();
    std::map<std::string, std::string> before_;
};

TEST_F(BackupRestoreTest, GoldenBackupRestoresTheSampleVaultCountingEachStep) {
    std::vector<std::pair<int, int>> steps;
    bool pendingAtLast = true;
    BackupRestore::Restore(paths_, Golden(GoldenBytes()), [&](int done, int total) {
        steps.emplace_back(done, total);
        pendingAtLast = VaultJournal(paths_).Pending();
    });
    // The last step is counted only once the change is committed.
    EXPECT_EQ(steps,
              (std::vector<std::pair<int, int>>{{1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}}));
    EXPECT_FALSE(pendingAtLast);
    EXPECT_EQ(Snapshot(), test::FolderBytes(test::DataDir() / "vault-sample"));
    EXPECT_EQ(test::ReadBytes(paths_.strBackupFolder / "20030405-134507"), GoldenBytes());
}

// The golden file proves both ways for a vault in use; here the zero lengths.
TEST_F(BackupRestoreTest, EmptyFilesInTheBackupRestoreAsEmptyFiles) {
    test::WriteBytes(paths_.strIdxFile, "");
    test::WriteBytes(paths_.strItmFile, "");
    const auto empty = Snapshot();
    const auto file = BackupFile::Write(paths_, "20240101-000000", BackupHeader{});
    test::WriteBytes(paths_.strItmFile, "x");
    BackupRestore::Restore(paths_, file);
    EXPECT_EQ(Snapshot(), empty);
}

// Lengths that do not fit the file are the hostile-input table's.
TEST_F(BackupRestoreTest, TruncatedOrMissingBackupIsRefusedWithoutProgressAndTheVaultStaysAsItWas) {
    const std::string golden = GoldenBytes();
    for (const std::size_t cut : {golden.size() - 1, std::size_t{300}, std::size_t{256},
                                  std::size_t{255}, std::size_t{40}, std::size_t{0}}) {
        int steps = 0;
        EXPECT_THROW(BackupRestore::Restore(paths_, Golden(golden.substr(0, cut)),
                                            [&](int, int) { ++steps; }),
                     StorageError)
            << cut;
        EXPECT_EQ(steps, 0) << cut;
        ExpectUnchanged();
    }
    EXPECT_THROW(BackupRestore::Restore(paths_, paths_.strBackupFolder / "gone"), StorageError);
    ExpectUnchanged();
}

}  // namespace
}  // namespace zorvan
