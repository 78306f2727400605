#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "platform/StorageError.h"
#include "support/Golden.h"
#include "support/TempDir.h"
#include "vault/BackupFile.h"
#include "vault/Cipher.h"
#include "vault/OleDate.h"

namespace zorvan {
namespace {

const DateTimeParts kGoldenMoment{2003, 4, 5, 13, 45, 7};

class BackupFileTest : public ::testing::Test {
protected:
    BackupHeader Header(const std::string& password, const std::string& comment) const {
        BackupHeader header;
        header.versionRevision = 5;
        const auto block = CheckBlock(KeyBytes(password).span());
        std::memcpy(header.checkBlock.data(), block.data(), 16);
        header.date = OleDate::FromParts(kGoldenMoment);
        header.comment = BackupFile::StoredComment(comment);
        return header;
    }

    std::vector<std::string> BackupFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(paths_.strBackupFolder)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    test::TempDir dir_;
    DataPaths paths_ = dir_.InitVault();
};

TEST_F(BackupFileTest, GoldenBackupListsItsDateAndComment) {
    const auto listing = BackupFile::ReadListing(test::DataDir() / "20030405-134507");
    EXPECT_EQ(listing.dateText, "2003/04/05 13:45:07");
    EXPECT_EQ(listing.comment, "月末のバックアップ");
}

TEST_F(BackupFileTest, BackupOfTheSampleVaultAtTheGoldenMomentIsTheGoldenFile) {
    test::CopySampleVault(dir_.path());
    const std::string name = OleDate::FileName(kGoldenMoment);
    EXPECT_EQ(name, "20030405-134507");
    const auto file = BackupFile::Write(paths_, name, Header("zorvan", "月末のバックアップ"));
    EXPECT_EQ(file, paths_.strBackupFolder / "20030405-134507");
    EXPECT_EQ(test::ReadBytes(file), test::ReadBytes(test::DataDir() / "20030405-134507"));
    EXPECT_EQ(BackupFolder(), std::vector<std::string>{"20030405-134507"});
}

// The comment field holds 128 bytes, with no terminating zero when full.
TEST_F(BackupFileTest, CommentIsCutTo128BytesNeverInsideACharacter) {
    const std::string full =
        std::string(64, 'a') + std::string(32, 'b') + "あいうえおかきくけこさしすせそた";
    const struct {
        std::string comment, shown;
        bool full;
    } rows[] = {
        {full, full, true},
        {std::string(130, 'z'), std::string(128, 'z'), true},
        // The double-byte character does not fit whole.
        {std::string(127, 'z') + "あ", std::string(127, 'z'), false},
    };
    for (const auto& row : rows) {
        const auto file = BackupFile::Write(paths_, "20200101-000000", Header("", row.comment));
        EXPECT_EQ(BackupFile::ReadListing(file).comment, row.shown) << row.comment;
        EXPECT_EQ(test::ReadBytes(file)[255] != '\0', row.full) << row.comment;
    }
}

TEST_F(BackupFileTest, FileWithNoHeaderOrNoDateListsThemEmpty) {
    BackupHeader header;
    header.date = std::numeric_limits<double>::quiet_NaN();
    header.comment = "note";
    const auto bytes = BackupFile::EncodeHeader(header);
    test::WriteBytes(dir_ / "nan", std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(BackupFile::ReadListing(dir_ / "nan").dateText, "");
    EXPECT_EQ(BackupFile::ReadListing(dir_ / "nan").comment, "note");
    test::WriteBytes(dir_ / "short", std::string(255, 'x'));
    test::WriteBytes(dir_ / "empty", "");
    for (const char* name : {"short", "empty", "missing"}) {
        const auto listing = BackupFile::ReadListing(dir_ / name);
        EXPECT_EQ(listing.dateText, "") << name;
        EXPECT_EQ(listing.comment, "") << name;
    }
}

// Lengths past the end are the hostile-input table's, an exact fit the golden file's.
TEST_F(BackupFileTest, BytesAfterTheLastFileAreAllowed) {
    BackupHeader header;
    header.bmpLength = 1;
    header.iniLength = 2;
    header.idxLength = 3;
    header.itmLength = 4;
    const auto bytes = BackupFile::EncodeHeader(header);
    test::WriteBytes(dir_ / "longer",
                     std::string(bytes.begin(), bytes.end()) + std::string(11, 'x'));
    EXPECT_NO_THROW(BackupFile::ReadHeader(dir_ / "longer"));
}

TEST_F(BackupFileTest, UnreadableDataFileLeavesNoBackupBehind) {
    test::CopySampleVault(dir_.path());
    std::filesystem::remove(paths_.strItmFile);
    EXPECT_THROW(BackupFile::Write(paths_, "20200101-000000", Header("zorvan", "x")), StorageError);
    EXPECT_TRUE(BackupFolder().empty());
}

TEST_F(BackupFileTest, BackupOfTheSameNameReplacesTheEarlierOne) {
    test::CopySampleVault(dir_.path());
    BackupFile::Write(paths_, "20200101-000000", Header("zorvan", "first"));
    BackupFile::Write(paths_, "20200101-000000", Header("zorvan", "second"));
    EXPECT_EQ(BackupFolder(), std::vector<std::string>{"20200101-000000"});
    EXPECT_EQ(BackupFile::ReadListing(paths_.strBackupFolder / "20200101-000000").comment,
              "second");
}

}  // namespace
}  // namespace zorvan
