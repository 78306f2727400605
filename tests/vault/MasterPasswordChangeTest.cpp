#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/Codepage.h"
#include "platform/StorageError.h"
#include "support/Golden.h"
#include "support/StepInterrupt.h"
#include "support/TempDir.h"
#include "vault/Cipher.h"
#include "vault/DurableFiles.h"
#include "vault/ItemStore.h"
#include "vault/MasterPasswordChange.h"
#include "vault/TextFile.h"
#include "vault/Vault.h"
#include "vault/VaultJournal.h"

namespace zorvan {
namespace {

using Bytes = std::vector<std::uint8_t>;

using test::InterruptAt;
using test::Interrupted;

// A record of records.txt: its block count and its data blocks under each
// password, in the order the file first lists each plaintext.
struct VectorRecord {
    std::string plaintext;
    std::int32_t count = 0;
    std::map<std::string, Bytes> cipher;  // password -> enciphered data blocks
};

std::vector<VectorRecord> LoadVectors() {
    std::vector<VectorRecord> records;
    for (const auto& row : test::ReadVectorLines("records.txt", '\t')) {
        auto record = std::find_if(records.begin(), records.end(),
                                   [&](const VectorRecord& r) { return r.plaintext == row[7]; });
        if (record == records.end()) {
            record = records.insert(records.end(), {row[7], std::stoi(row[6]), {}});
        }
        record->cipher[row[0]] = test::FromHex(row[8]);
    }
    return records;
}

class MasterPasswordChangeTest : public ::testing::Test {
protected:
    ~MasterPasswordChangeTest() override { durable::SetStepHook(nullptr); }

    std::string Bytes0(const std::filesystem::path& file) const { return test::ReadBytes(file); }

    // The records of records.txt as stored under "zorvan", in groups: Web holds 0 and
    // 1, the write-protected 銀行 holds 2 and 3, Imported (head without flag) holds 4
    // and 1 again, a second Web line holds 5, Empty holds none; one more record is
    // stored but listed nowhere.
    void BuildVectorVault() {
        vectors_ = LoadVectors();
        ASSERT_EQ(vectors_.size(), 6u);
        ItemStore store(paths_.strItmFile, paths_.strBmpFile);
        for (std::size_t i = 0; i < vectors_.size(); ++i) {
            const auto& cipher = vectors_[i].cipher.at("zorvan");
            blocks_.push_back(store.StoreItem(cipher, vectors_[i].count, static_cast<int>(i % 2),
                                              37716.5 + static_cast<double>(i)));
        }
        unlisted_ = store.StoreItem(vectors_[0].cipher.at("zorvan"), vectors_[0].count, 0, 0);
        auto b = [&](std::size_t i) { return "\t" + std::to_string(blocks_[i]); };
        textfile::Rewrite(paths_.strIdxFile, "Web#0" + b(0) + b(1) + "\r\n銀行#1" + b(2) + b(3) +
                                                 "\r\nEmpty#0\r\nImported" + b(4) + b(1) +
                                                 "\r\nWeb#0" + b(5));
        textfile::Rewrite(paths_.strIniFile, "[Zorvan]\r\nlastgroup=銀行\r\npass=" +
                                                 CheckValue("zorvan") + "\r\nwait=4");
    }

    Bytes DataBlocks(BlockNumber block, std::int32_t count) const {
        const auto itm = Bytes0(paths_.strItmFile);
        const auto* at = reinterpret_cast<const std::uint8_t*>(itm.data()) + block * 16;
        return Bytes(at, at + (count - 1) * 16);
    }
    std::string HeaderBlock(const std::string& itm, BlockNumber block) const {
        return itm.substr(static_cast<std::size_t>(block - 1) * 16, 16);
    }

    // Through the vault, which keeps the key the vault opens with afterwards.
    MasterPasswordChange::Result Change(const std::string& from, const std::string& to) {
        vault_.UseKeyOf(from);
        return vault_.ChangePassword(to);
    }

    test::TempDir dir_;
    DataPaths paths_ = dir_.InitVault();
    Vault vault_{paths_};
    std::vector<VectorRecord> vectors_;
    std::vector<BlockNumber> blocks_;
    BlockNumber unlisted_ = kNoBlock;
};

TEST_F(MasterPasswordChangeTest, EveryListedRecordMatchesTheIndependentVectorsOfTheNewPassword) {
    BuildVectorVault();
    const std::string itmBefore = Bytes0(paths_.strItmFile);
    const std::string idxBefore = Bytes0(paths_.strIdxFile);
    const std::string bmpBefore = Bytes0(paths_.strBmpFile);

    const auto result = Change("zorvan", "パスワード");
    EXPECT_EQ(result.reenciphered, 6);
    EXPECT_EQ(result.skipped, 0);

    for (std::size_t i = 0; i < vectors_.size(); ++i) {
        EXPECT_EQ(DataBlocks(blocks_[i], vectors_[i].count), vectors_[i].cipher.at("パスワード"))
            << "record " << i;
    }
    const std::string itmAfter = Bytes0(paths_.strItmFile);
    ASSERT_EQ(itmAfter.size(), itmBefore.size());
    for (const BlockNumber block : blocks_) {
        EXPECT_EQ(HeaderBlock(itmAfter, block), HeaderBlock(itmBefore, block)) << block;
    }
    // The record no line lists is wiped, header and all; its blocks stay allocated.
    EXPECT_EQ(itmAfter.substr(static_cast<std::size_t>(unlisted_ - 1) * 16,
                              static_cast<std::size_t>(vectors_[0].count) * 16),
              std::string(static_cast<std::size_t>(vectors_[0].count) * 16, '\0'));
    EXPECT_EQ(Bytes0(paths_.strIdxFile), idxBefore);
    EXPECT_EQ(Bytes0(paths_.strBmpFile), bmpBefore);
    EXPECT_EQ(Bytes0(paths_.strIniFile), codepage::ToAnsi("[Zorvan]\r\nlastgroup=銀行\r\npass=" +
                                                          CheckValue("パスワード") + "\r\nwait=4"));
    EXPECT_TRUE(vault_.IsKeyOf("パスワード"));
    EXPECT_FALSE(VaultJournal(paths_).Pending());
}

TEST_F(MasterPasswordChangeTest, VaultWithoutItemsOnlyGetsTheNewCheckValue) {
    textfile::Rewrite(paths_.strIdxFile, "Empty#0");
    const auto result = Change("", "password");
    EXPECT_EQ(result.reenciphered, 0);
    EXPECT_EQ(Bytes0(paths_.strItmFile), "");
    EXPECT_EQ(Bytes0(paths_.strIdxFile), "Empty#0");
    EXPECT_EQ(Bytes0(paths_.strIniFile), "[Zorvan]\r\npass=" + CheckValue("password"));
}

TEST_F(MasterPasswordChangeTest, DamagedEntriesAreSkippedAndBytesNoLineNamesAreWiped) {
    BuildVectorVault();
    // Behind the records: a free block, a block a line names whose header is
    // unreadable, two more free blocks and a piece of a block, all holding bytes.
    const std::string itm = Bytes0(paths_.strItmFile);
    const auto damaged = static_cast<BlockNumber>(itm.size() / 16 + 2);
    std::string planted = std::string(16, '\xAB') + std::string(4, '\0') + std::string(12, '\xCD') +
                          std::string(32, '\xEF') + "tail";
    test::WriteBytes(paths_.strItmFile, itm + planted);
    // Only records 0 and 2 stay listed; 9999 lies past the file's end, 0 is no block.
    textfile::Rewrite(paths_.strIdxFile,
                      "Web#0\t" + std::to_string(blocks_[0]) + "\t9999\tabc\t0\r\nMail#0\t" +
                          std::to_string(blocks_[2]) + "\r\nBroken#0\t" + std::to_string(damaged));

    const auto result = Change("zorvan", "パスワード");
    EXPECT_EQ(result.reenciphered, 2);
    EXPECT_EQ(result.skipped, 3);
    const std::string after = Bytes0(paths_.strItmFile);
    ASSERT_EQ(after.size(), itm.size() + planted.size());
    EXPECT_EQ(after.substr(itm.size()),
              std::string(16, '\0') + planted.substr(16, 16) + std::string(36, '\0'));
    for (std::size_t i = 0; i < vectors_.size(); ++i) {
        const bool listed = i == 0 || i == 2;
        // An unlisted record is wiped rather than left under the old key.
        EXPECT_EQ(DataBlocks(blocks_[i], vectors_[i].count),
                  listed ? vectors_[i].cipher.at("パスワード")
                         : Bytes(static_cast<std::size_t>(vectors_[i].count - 1) * 16, 0))
            << i;
        if (listed) {
            EXPECT_NO_THROW(vault_.LoadItem(blocks_[i])) << i;
        }
    }
}

TEST_F(MasterPasswordChangeTest, OverlappingRecordsAreRefusedWithTheVaultUnchanged) {
    BuildVectorVault();
    // Record 0 claims enough blocks to cover record 1's header.
    std::string itm = Bytes0(paths_.strItmFile);
    const std::int32_t count = blocks_[1] - blocks_[0] + 1;
    std::memcpy(itm.data() + (blocks_[0] - 1) * 16, &count, 4);
    test::WriteBytes(paths_.strItmFile, itm);
    const std::string ini = Bytes0(paths_.strIniFile);
    EXPECT_THROW(Change("zorvan", "パスワード"), StorageError);
    EXPECT_EQ(Bytes0(paths_.strItmFile), itm);
    EXPECT_EQ(Bytes0(paths_.strIniFile), ini);
    EXPECT_TRUE(vault_.IsKeyOf("zorvan"));
    EXPECT_FALSE(std::filesystem::exists(VaultJournal::StagedPath(paths_.strItmFile)));
}

TEST_F(MasterPasswordChangeTest, FailureBeforeTheCommitLeavesTheOldVaultAndKey) {
    BuildVectorVault();
    const std::string itm = Bytes0(paths_.strItmFile);
    const std::string ini = Bytes0(paths_.strIniFile);
    // The first folder sync follows the staged settings file's own replacement,
    // which cannot fail any more; the second is the journal's.
    const std::pair<const char*, int> steps[] = {
        {"write", 1}, {"flush", 1}, {"settings", 1}, {"sync folder", 2}};
    for (const auto& [step, nth] : steps) {
        InterruptAt(step, nth);
        EXPECT_THROW(Change("zorvan", "パスワード"), Interrupted) << step;
        durable::SetStepHook(nullptr);
        EXPECT_EQ(Bytes0(paths_.strItmFile), itm) << step;
        EXPECT_EQ(Bytes0(paths_.strIniFile), ini) << step;
        EXPECT_TRUE(vault_.IsKeyOf("zorvan")) << step;
        EXPECT_FALSE(VaultJournal(paths_).Pending());
        EXPECT_FALSE(std::filesystem::exists(VaultJournal::StagedPath(paths_.strIniFile)));
        EXPECT_FALSE(std::filesystem::exists(VaultJournal::StagedPath(paths_.strItmFile)));
    }
}

TEST_F(MasterPasswordChangeTest, FailureAfterTheCommitKeepsTheNewKeyForTheNextStartToFinish) {
    BuildVectorVault();
    InterruptAt("rename", 4);  // the journal and the settings file are in place
    EXPECT_THROW(Change("zorvan", "パスワード"), Interrupted);
    durable::SetStepHook(nullptr);
    EXPECT_TRUE(vault_.IsKeyOf("パスワード"));
    EXPECT_TRUE(VaultJournal(paths_).Pending());
    // What the next start finds after such a cut is the crash campaign's.
    EXPECT_EQ(RecoverInterruptedChange(paths_), VaultJournal::Recovery::kCompleted);
}

}  // namespace
}  // namespace zorvan
