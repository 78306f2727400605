#include "vault/crash/CrashOperations.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <vector>

#include "csv/CsvEngine.h"
#include "vault/BackupFile.h"
#include "vault/BackupRestore.h"
#include "vault/Cipher.h"
#include "vault/GroupIndex.h"
#include "vault/ItemEdits.h"
#include "vault/ItemRecord.h"
#include "vault/ItemStore.h"
#include "vault/MasterPasswordChange.h"
#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"

namespace zorvan::crash {

namespace {

std::vector<BlockNumber> BlocksOf(const DataPaths& paths, std::string_view group) {
    std::vector<BlockNumber> blocks;
    const auto entry = GroupIndex(paths.strIdxFile).GetGroupItems(group);
    for (std::size_t i = 1; i < entry.size(); ++i) {
        blocks.push_back(ParseBlockNumber(entry[i]).value());
    }
    return blocks;
}

// The item dialog's OK; the list frees the old record as it shows the new row.
void SaveItem(const DataPaths& paths, std::string_view group, const ItemRecord& item,
              BlockNumber oldBlock) {
    ItemEdits::SaveItem(paths, group, item, oldBlock);
    if (oldBlock != kNoBlock) {
        try {
            ItemStore(paths.strItmFile, paths.strBmpFile).FreeItem(oldBlock);
        } catch (const std::exception&) {
        }
    }
}

void StoreNewItem(const DataPaths& paths, const std::filesystem::path&) {
    ItemRecord item;
    item.ItemName = "新しいアイテム";
    item.AccountID = "someone@example.com";
    item.AccountPass = "s3cret-パス";
    item.RelatedURL = "https://example.com/login";
    item.AccountMemo = "一行目\r\nsecond line";
    item.Expire = 1;
    item.ExpireDate = 47000.5;
    SaveItem(paths, "Shop", item, kNoBlock);
}

void EditItem(const DataPaths& paths, const std::filesystem::path&) {
    const BlockNumber old = BlocksOf(paths, "Shop").at(2);
    ItemRecord item = ItemStore(paths.strItmFile, paths.strBmpFile).LoadItem(old);
    item.AccountPass = "changed-" + item.AccountPass;
    item.AccountMemo += std::string(100, 'x');  // longer: the record needs more blocks
    SaveItem(paths, "Shop", item, old);
}

// The Delete key on a selection of several rows, top row first.
void DeleteItems(const DataPaths& paths, const std::filesystem::path&) {
    const auto blocks = BlocksOf(paths, "Games");
    const std::vector<BlockNumber> chosen{blocks.at(1), blocks.at(4), blocks.at(7)};
    ItemEdits::DeleteItems(paths, "Games", chosen);
}

void MoveItems(const DataPaths& paths, const std::filesystem::path&) {
    const auto blocks = BlocksOf(paths, "Games");
    const std::vector<BlockNumber> chosen{blocks.at(0), blocks.at(3), blocks.at(5)};
    GroupIndex(paths.strIdxFile).MoveItems(chosen, "Games", "社内");
}

// Copying the password of the sixth row moves the item to the front of its group.
void UseItem(const DataPaths& paths, const std::filesystem::path&) {
    const BlockNumber block = BlocksOf(paths, "社内").at(5);
    ItemStore(paths.strItmFile, paths.strBmpFile).LoadItem(block);
    GroupIndex(paths.strIdxFile).UpdateGroupLine("社内", block, block);
}

void AddGroup(const DataPaths& paths, const std::filesystem::path&) {
    GroupIndex(paths.strIdxFile).UpdateGroupLine("新グループ#0", kNoBlock, kNoBlock);
}

void RenameGroup(const DataPaths& paths, const std::filesystem::path&) {
    GroupIndex(paths.strIdxFile).RenameGroupLine("Games", "Games2#1");
}

void DeleteGroup(const DataPaths& paths, const std::filesystem::path&) {
    ItemEdits::RemoveGroup(paths, "Shop");
}

void Import(const DataPaths& paths, const std::filesystem::path& csv, std::string_view group) {
    CsvEngine engine(paths);
    if (!engine.ImportCsv(csv, group)) {
        throw std::runtime_error(engine.lastError());
    }
}

void ImportCsv(const DataPaths& paths, const std::filesystem::path& csv) {
    Import(paths, csv, "Games");
}

void ImportCsvNewGroup(const DataPaths& paths, const std::filesystem::path& csv) {
    Import(paths, csv, "取込");
}

void ChangePassword(const DataPaths& paths, const std::filesystem::path&) {
    MasterPasswordChange::ReencryptAll(paths, KeyBytes(kPassword).span(),
                                       KeyBytes(kNewPassword).span());
}

void Backup(const DataPaths& paths, const std::filesystem::path&) {
    BackupHeader header;
    header.versionMajor = 1;
    const SecureBytes check = CheckBlock(KeyBytes(kPassword).span());
    std::memcpy(header.checkBlock.data(), check.data(), header.checkBlock.size());
    header.date = 46000.25;
    header.comment = BackupFile::StoredComment("障害試験");
    BackupFile::Write(paths, "20251112-060000", header);
}

void Restore(const DataPaths& paths, const std::filesystem::path& backup) {
    BackupRestore::Restore(paths, backup);
}

// The options dialog's OK, key by key in its order.
void WriteOptions(const DataPaths& paths, const std::filesystem::path&) {
    const SettingsStore store(paths.strIniFile);
    store.Set(settings::kUpper, 0);
    store.Set(settings::kLower, 1);
    store.Set(settings::kNumber, 0);
    store.Set(settings::kSymbol, 1);
    store.Set(settings::kSymbols, "!?@");
    store.Set(settings::kMinPassLen, 12);
    store.Set(settings::kMaxPassLen, 20);
    store.Set(settings::kWait, 9);
    store.Set(settings::kTransparency, 200);
}

// What a session writes besides the options: the version at start, the shown
// group, and the view switches at closing (the window position is written like
// the options, one key after the other).
void WriteWindowSettings(const DataPaths& paths, const std::filesystem::path&) {
    const SettingsStore store(paths.strIniFile);
    store.Set(settings::kVersion, 10203);
    store.Set(settings::kLastGroup, "社内");
    store.Set(settings::kToolbar, false);
    store.Set(settings::kStatusbar, false);
    store.Set(settings::kTooltip, false);
    store.Set(settings::kGridLine, false);
}

constexpr std::array kOperations{
    Operation{"store_item", Outcome::kOldOrNew, Input::kNone, StoreNewItem},
    Operation{"edit_item", Outcome::kOldOrNew, Input::kNone, EditItem},
    Operation{"delete_items", Outcome::kOldOrNew, Input::kNone, DeleteItems},
    Operation{"move_items", Outcome::kOldOrNew, Input::kNone, MoveItems},
    Operation{"use_item", Outcome::kOldOrNew, Input::kNone, UseItem},
    Operation{"add_group", Outcome::kOldOrNew, Input::kNone, AddGroup},
    Operation{"rename_group", Outcome::kOldOrNew, Input::kNone, RenameGroup},
    Operation{"delete_group", Outcome::kOldOrNew, Input::kNone, DeleteGroup},
    Operation{"import_csv", Outcome::kOldOrNewUnlessFailed, Input::kCsv, ImportCsv},
    Operation{"import_csv_new_group", Outcome::kOldOrNewUnlessFailed, Input::kCsv,
              ImportCsvNewGroup},
    Operation{"password_change", Outcome::kOldOrNew, Input::kNone, ChangePassword},
    Operation{"backup", Outcome::kOldOrNew, Input::kNone, Backup},
    Operation{"restore", Outcome::kOldOrNew, Input::kBackup, Restore},
    Operation{"options", Outcome::kAnyMix, Input::kNone, WriteOptions},
    Operation{"window_settings", Outcome::kAnyMix, Input::kNone, WriteWindowSettings},
};

}  // namespace

std::span<const Operation> Operations() {
    return kOperations;
}

const Operation* FindOperation(std::string_view name) {
    const auto it = std::find_if(kOperations.begin(), kOperations.end(),
                                 [&](const Operation& op) { return op.name == name; });
    return it == kOperations.end() ? nullptr : &*it;
}

}  // namespace zorvan::crash
