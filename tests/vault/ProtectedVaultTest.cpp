#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/StorageError.h"
#include "support/Golden.h"
#include "support/TempDir.h"
#include "vault/SealedFile.h"
#include "vault/SealedModel.h"
#include "vault/SettingsKeys.h"
#include "vault/TextFile.h"
#include "vault/Vault.h"

namespace zorvan {
namespace {

using View = std::vector<std::pair<std::string, std::vector<ItemRecord>>>;

// Far past the legacy format's 16 bytes.
const std::string kLongPassword = std::string(120, 'p') + "新しいパスワード";
constexpr std::string_view kSamplePassword = "zorvan";

// Every group's head and items, in order, as the windows see them.
View Read(const Vault& vault) {
    View view;
    auto reader = vault.Reader();
    for (const auto& name : vault.GroupNames()) {
        if (name.empty()) {
            continue;
        }
        auto& group = view.emplace_back(vault.GroupEntry(name).front(), std::vector<ItemRecord>{});
        for (const BlockNumber block : vault.GroupBlocks(name)) {
            group.second.push_back(reader.Load(block));
        }
    }
    return view;
}

ItemRecord Item(const std::string& name) {
    ItemRecord item;
    item.ItemName = name;
    item.AccountID = name + "@example.jp";
    item.AccountPass = "pw-" + name;
    item.AccountMemo = "一行目\r\n二行目";
    item.Expire = 1;
    item.ExpireDate = 46000.5;
    return item;
}

// A folder holding the sample vault in the legacy format.
DataPaths SampleIn(const test::TempDir& dir, const std::string& name) {
    test::CopySampleVault(dir / name);
    return InitDataFiles(dir / name);
}

class ProtectedVaultTest : public ::testing::Test {
protected:
    // The sample vault, upgraded; legacy_ holds the same vault left legacy.
    void SetUp() override {
        ASSERT_TRUE(legacy_.Open(kSamplePassword));
        Vault upgrading(paths_);
        ASSERT_TRUE(upgrading.Open(kSamplePassword));
        legacyFiles_ = test::FolderBytes(paths_.strIdxFile.parent_path());
        upgrading.Upgrade(kLongPassword, kKdfFloor);
        EXPECT_EQ(upgrading.format(), VaultFormat::kProtected);
        vault_ = std::make_unique<Vault>(paths_);
        ASSERT_TRUE(vault_->Open(kLongPassword));
    }

    // A vault opened afresh from the folder: what the next start sees.
    View Reopened(std::string_view password = kLongPassword) const {
        Vault again(paths_);
        EXPECT_EQ(again.format(), VaultFormat::kProtected);
        EXPECT_TRUE(again.Open(password));
        return Read(again);
    }

    test::TempDir dir_;
    DataPaths legacyPaths_ = SampleIn(dir_, "legacy");
    DataPaths paths_ = SampleIn(dir_, "protected");
    Vault legacy_{legacyPaths_};
    std::map<std::string, std::string> legacyFiles_;
    std::unique_ptr<Vault> vault_;
};

TEST_F(ProtectedVaultTest, UpgradeKeepsEveryItemInOrderAndLeavesTheLegacyFilesByteForByte) {
    EXPECT_EQ(Reopened(), Read(legacy_));
    EXPECT_GT(Read(legacy_).size(), 1u);
    auto now = test::FolderBytes(paths_.strIdxFile.parent_path());
    for (const char* name : {"Zorvan.idx", "Zorvan.itm", "Zorvan.bmp"}) {
        EXPECT_EQ(now[name], legacyFiles_[name]) << name;
    }
    Vault again(paths_);
    EXPECT_FALSE(again.Open(kSamplePassword)) << "the old password must not open it";
    // Nothing readable about the items is left outside the seal.
    const std::string sealedFile = now["Zorvan.zvx"];
    for (const auto& [head, items] : Read(legacy_)) {
        EXPECT_EQ(sealedFile.find(head), std::string::npos) << head;
        for (const auto& item : items) {
            EXPECT_EQ(sealedFile.find(item.ItemName), std::string::npos) << item.ItemName;
        }
    }
}

TEST_F(ProtectedVaultTest, EveryOperationLeavesTheSameVaultAsOnTheLegacyFormat) {
    using Step = std::function<void(Vault&)>;
    const auto at = [](Vault& vault, const char* group, std::size_t i) {
        return vault.GroupBlocks(group).at(i);
    };
    const std::vector<std::pair<const char*, Step>> steps{
        {"add group", [](Vault& v) { v.AddGroup("新しいグループ#1"); }},
        {"store new", [](Vault& v) { v.SaveItem("Web", Item("new"), kNoBlock); }},
        {"store into a new group", [](Vault& v) { v.SaveItem("どこか", Item("x"), kNoBlock); }},
        {"edit", [&](Vault& v) { v.SaveItem("Web", Item("edited"), at(v, "Web", 2)); }},
        {"use", [&](Vault& v) { v.UseItem("Web", at(v, "Web", 2)); }},
        {"mark used", [&](Vault& v) { v.MarkUsed("Web", at(v, "Web", 1)); }},
        {"move",
         [&](Vault& v) {
             const std::vector blocks{at(v, "Web", 0), at(v, "Web", 2)};
             v.MoveItems(blocks, "Web", "新しいグループ");
         }},
        {"delete",
         [&](Vault& v) {
             const std::vector blocks{at(v, "新しいグループ", 0)};
             v.DeleteItems("新しいグループ", blocks);
         }},
        {"add items",
         [](Vault& v) {
             std::vector<BlockNumber> stored;
             v.AddItems("取込", std::vector{Item("i1"), Item("i2"), Item("i3")}, stored);
             EXPECT_EQ(stored.size(), 3u);
         }},
        {"rename group", [](Vault& v) { v.RenameGroup("Web", "Web2#1"); }},
        {"remove group", [](Vault& v) { v.RemoveGroup("どこか"); }},
    };
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        step(legacy_);
        step(*vault_);
        EXPECT_EQ(Read(*vault_), Read(legacy_));
        EXPECT_EQ(Reopened(), Read(legacy_));
    }
    auto now = test::FolderBytes(paths_.strIdxFile.parent_path());
    for (const char* name : {"Zorvan.idx", "Zorvan.itm", "Zorvan.bmp"}) {
        EXPECT_EQ(now[name], legacyFiles_[name]) << name << " changed by the protected vault";
    }
}

TEST_F(ProtectedVaultTest, PasswordChangeBackupRestoreAndLegacyCopyKeepTheItems) {
    const View original = Read(legacy_);
    const auto backup = vault_->Backup("20261207-120000", BackupHeader{});
    EXPECT_EQ(backup.parent_path(), paths_.strSealedBackupFolder);
    EXPECT_TRUE(vault_->BackupOpensWith(backup, kLongPassword));
    EXPECT_FALSE(vault_->BackupOpensWith(backup, "違う"));

    std::size_t count = 0;
    for (const auto& group : original) {
        count += group.second.size();
    }
    EXPECT_EQ(vault_->ChangePassword("二番目のパスワード").reenciphered, static_cast<int>(count));
    EXPECT_EQ(Reopened("二番目のパスワード"), original);
    EXPECT_FALSE(Vault(paths_).Open(kLongPassword));

    vault_->SaveItem("Web", Item("after the backup"), kNoBlock);
    vault_->Restore(backup, kLongPassword);
    EXPECT_EQ(Reopened(kLongPassword), original) << "the vault opens with the backup's password";
    EXPECT_THROW(vault_->Restore(legacyPaths_.strItmFile, kSamplePassword), StorageError);

    const auto copyFolder = dir_.path() / "copy";
    vault_->WriteLegacyCopy(copyFolder, "旧パス");
    Vault copy(DataPaths::InFolder(copyFolder));
    EXPECT_EQ(copy.format(), VaultFormat::kLegacy);
    ASSERT_TRUE(copy.Open("旧パス"));
    EXPECT_EQ(Read(copy), original);
    EXPECT_THROW(vault_->WriteLegacyCopy(copyFolder, "旧パス"), StorageError)
        << "a folder that holds a vault is not written over";

    test::WriteBytes(paths_.strBackupFolder / "old-backup", "legacy backup bytes");
    EXPECT_EQ(vault_->RemoveLegacyFiles(), 4);
    for (const auto* file : {&paths_.strIdxFile, &paths_.strItmFile, &paths_.strBmpFile}) {
        EXPECT_FALSE(std::filesystem::exists(*file));
    }
    EXPECT_TRUE(textfile::ListFileNames(paths_.strBackupFolder).empty());
    EXPECT_EQ(vault_->Settings().Get(settings::kPass), "");
    EXPECT_EQ(vault_->Settings().Get(settings::kLastGroup), "");
    EXPECT_EQ(Reopened(), original);
    EXPECT_TRUE(std::filesystem::exists(backup)) << "protected backups stay";
}

// Each row spoils the file one way; each must fail to open with words for the user
// and change nothing.
TEST_F(ProtectedVaultTest, TamperedFilesFailToOpenAndChangeNothing) {
    const std::string good = test::ReadBytes(paths_.strSealedFile);
    vault_->SaveItem("Web", Item("newer"), kNoBlock);
    const std::string newer = test::ReadBytes(paths_.strSealedFile);
    struct Row {
        std::string what;
        std::string bytes;
        std::string password = kLongPassword;
    };
    std::vector<Row> rows;
    for (std::size_t i = 0; i < sealed::kHeaderSize; ++i) {
        std::string bytes = newer;
        bytes[i] = static_cast<char>(bytes[i] ^ 0x01);
        rows.push_back({"header byte " + std::to_string(i), bytes});
    }
    for (const std::size_t at : {sealed::kHeaderSize, newer.size() / 2, newer.size() - 1}) {
        std::string bytes = newer;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x80);
        rows.push_back({"sealed byte " + std::to_string(at), bytes});
    }
    for (const std::size_t size : {std::size_t{0}, std::size_t{8}, sealed::kHeaderSize,
                                   sealed::kHeaderSize + 16, newer.size() - 1}) {
        rows.push_back({"cut to " + std::to_string(size), newer.substr(0, size)});
    }
    rows.push_back({"one byte appended", newer + '\0'});
    rows.push_back({"the older file put back", good});
    rows.push_back({"a wrong password", newer, "zorvan"});

    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        test::WriteBytes(paths_.strSealedFile, row.bytes);
        const auto before = test::FolderBytes(paths_.strIdxFile.parent_path());
        Vault vault(paths_);
        try {
            EXPECT_FALSE(vault.Open(row.password));
        } catch (const StorageError& error) {
            // Japanese words, not a code.
            EXPECT_NE(std::string(error.cause()).find("\xE3"), std::string::npos) << error.what();
        }
        EXPECT_FALSE(vault.IsOpen());
        EXPECT_EQ(test::FolderBytes(paths_.strIdxFile.parent_path()), before);
    }
    test::WriteBytes(paths_.strSealedFile, newer);
    EXPECT_EQ(Reopened().front().second.front().ItemName, "newer");
}

// A forged file must not make guessing cheap, nor freeze the program.
TEST(ProtectedVaultFile, ParametersOutsideTheFloorAndTheCeilingAreRefusedBeforeDeriving) {
    test::TempDir dir;
    const DataPaths paths = dir.InitVault();
    const SealedModel empty;
    const KdfParams weak{1, 8u << 20};
    const auto weakFile = sealed::Seal(empty.contents().span(), sealed::DeriveKey("pw", weak), 1);
    test::WriteBytes(paths.strSealedFile, std::string(weakFile.begin(), weakFile.end()));
    EXPECT_THROW(Vault(paths).Open("pw"), StorageError);

    for (const KdfParams& asked : {KdfParams{kKdfCeiling.opslimit + 1, kKdfFloor.memlimit},
                                   KdfParams{kKdfFloor.opslimit, kKdfCeiling.memlimit + 1},
                                   KdfParams{kKdfFloor.opslimit, kKdfFloor.memlimit - 1}}) {
        const auto head = sealed::EncodeHeader(SealedHeader{asked, {}, 1, {}});
        test::WriteBytes(paths.strSealedFile,
                         std::string(head.begin(), head.end()) + std::string(64, 'x'));
        EXPECT_THROW(Vault(paths).Open("pw"), StorageError) << asked.opslimit;
    }
}

TEST(ProtectedVaultFile, CalibrationMeetsTheTimeWithinTheBounds) {
    const KdfParams kdf = sealed::Calibrate(0.3);
    EXPECT_EQ(kdf.memlimit, kKdfFloor.memlimit);
    EXPECT_GE(kdf.opslimit, kKdfFloor.opslimit);
    EXPECT_LE(kdf.opslimit, kKdfCeiling.opslimit);
}

// Deciphered contents that do not follow the format; the seal makes these rare,
// the fuzz target tries the rest.
TEST(SealedModelParse, RefusesContentsThatDoNotAddUp) {
    const auto parse = [](std::vector<std::uint8_t> bytes) {
        return SealedModel::Parse(LockedBuffer(bytes), "x");
    };
    EXPECT_EQ(parse({1, 0, 0, 0, 0}).groups().size(), 0u);
    const std::vector<std::vector<std::uint8_t>> rows{
        {},                                       // nothing
        {2, 0, 0, 0, 0},                          // unknown version
        {1, 0xFF, 0xFF, 0xFF, 0xFF},              // more groups than bytes
        {1, 1, 0, 0, 0, 9, 0, 0, 0, 'a'},         // head longer than what is left
        {1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0},  // an item with no bytes
        {1, 0, 0, 0, 0, 0},                       // a byte left over
    };
    for (const auto& row : rows) {
        EXPECT_THROW(parse(row), StorageError) << row.size();
    }
}

}  // namespace
}  // namespace zorvan
