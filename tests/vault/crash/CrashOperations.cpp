#include "vault/crash/CrashOperations.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <vector>

#include "csv/CsvEngine.h"
#include "vault/ItemRecord.h"
#include "vault/OptionValues.h"
#include "vault/SealedFile.h"
#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"
#include "vault/Vault.h"

namespace zorvan::crash {

namespace {

// Each operation is one call of the vault the windows make; what the windows add
// around it (questions, the list) writes nothing.

void StoreNewItem(Vault& vault, const std::filesystem::path&) {
    ItemRecord item;
    item.ItemName = "新しいアイテム";
    item.AccountID = "someone@example.com";
    item.AccountPass = "s3cret-パス";
    item.RelatedURL = "https://example.com/login";
    item.AccountMemo = "一行目\r\nsecond line";
    item.Expire = 1;
    item.ExpireDate = 47000.5;
    vault.SaveItem("Shop", item, kNoBlock);
}

void EditItem(Vault& vault, const std::filesystem::path&) {
    const BlockNumber old = vault.GroupBlocks("Shop").at(2);
    ItemRecord item = vault.LoadItem(old);
    item.AccountPass = "changed-" + item.AccountPass;
    item.AccountMemo += std::string(100, 'x');  // longer: the record needs more blocks
    vault.SaveItem("Shop", item, old);
}

// The Delete key on a selection of several rows, top row first.
void DeleteItems(Vault& vault, const std::filesystem::path&) {
    const auto blocks = vault.GroupBlocks("Games");
    const std::vector<BlockNumber> chosen{blocks.at(1), blocks.at(4), blocks.at(7)};
    vault.DeleteItems("Games", chosen);
}

void MoveItems(Vault& vault, const std::filesystem::path&) {
    const auto blocks = vault.GroupBlocks("Games");
    const std::vector<BlockNumber> chosen{blocks.at(0), blocks.at(3), blocks.at(5)};
    vault.MoveItems(chosen, "Games", "社内");
}

// Copying the password of the sixth row moves the item to the front of its group.
void UseItem(Vault& vault, const std::filesystem::path&) {
    vault.UseItem("社内", vault.GroupBlocks("社内").at(5));
}

void AddGroup(Vault& vault, const std::filesystem::path&) {
    vault.AddGroup("新グループ#0");
}

void RenameGroup(Vault& vault, const std::filesystem::path&) {
    vault.RenameGroup("Games", "Games2#1");
}

void DeleteGroup(Vault& vault, const std::filesystem::path&) {
    vault.RemoveGroup("Shop");
}

void Import(Vault& vault, const std::filesystem::path& csv, std::string_view group) {
    CsvEngine engine(vault);
    if (!engine.ImportCsv(csv, group)) {
        throw std::runtime_error(engine.lastError());
    }
}

void ImportCsv(Vault& vault, const std::filesystem::path& csv) {
    Import(vault, csv, "Games");
}

void ImportCsvNewGroup(Vault& vault, const std::filesystem::path& csv) {
    Import(vault, csv, "取込");
}

void ChangePassword(Vault& vault, const std::filesystem::path&) {
    vault.ChangePassword(kNewPassword);
}

// The floor's parameters keep the many runs short; the steps are the same.
void Upgrade(Vault& vault, const std::filesystem::path&) {
    vault.Upgrade(kNewPassword, kKdfFloor);
}

void Backup(Vault& vault, const std::filesystem::path&) {
    BackupHeader header;
    header.versionMajor = 1;
    header.date = 46000.25;
    header.comment = BackupFile::StoredComment("障害試験");
    vault.Backup("20251112-060000", header);
}

void Restore(Vault& vault, const std::filesystem::path& backup) {
    vault.Restore(backup, kPassword);
}

// The options dialog's OK.
void WriteOptions(Vault& vault, const std::filesystem::path&) {
    OptionValues values;
    values.classes = {false, true, false, true};
    values.symbols = "!?@";
    values.minPassLen = 12;
    values.maxPassLen = 20;
    values.wait = 9;
    values.transparency = 200;
    values.clipboardClear = 45;
    SaveOptions(vault.Settings(), values);
}

// What a session writes besides the options: the version at start, the shown
// group, and the view switches at closing (the window position is written like
// the options, one key after the other).
void WriteWindowSettings(Vault& vault, const std::filesystem::path&) {
    const SettingsStore store = vault.Settings();
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
    Operation{"upgrade", Outcome::kOldOrNew, Input::kNone, Upgrade},
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
