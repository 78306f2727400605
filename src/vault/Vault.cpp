#include "vault/Vault.h"

#include <exception>
#include <new>
#include <stdexcept>

#include "platform/SecureHeap.h"
#include "platform/StorageError.h"
#include "vault/BackupRestore.h"
#include "vault/Cipher.h"
#include "vault/GroupIndex.h"
#include "vault/ItemRecord.h"
#include "vault/ItemStore.h"
#include "vault/RecordBatch.h"
#include "vault/SealedVault.h"
#include "vault/TextFile.h"
#include "vault/VaultJournal.h"

namespace zorvan {

namespace {

// The writes of item changes are ordered so that a cut at any point can at most
// leave blocks allocated that no index line names: a record is written before a
// line names it, and freed only after no line names it any more.
void FreeOrLeak(ItemStore& store, BlockNumber block) {
    try {
        store.FreeItem(block);
    } catch (const std::exception&) {
        // No line names the record any more; its blocks only stay allocated.
    }
}

// What one UpdateGroupLine(group, -1, block) per block, in order, leaves in the
// index, written once: GroupIndex's own batch rule with the blocks last first.
void PrependBlocks(const std::filesystem::path& idxFile, std::string_view groupName,
                   const std::vector<BlockNumber>& blocks) {
    const std::vector<BlockNumber> lastFirst(blocks.rbegin(), blocks.rend());
    auto lines = textfile::ReadLines(idxFile);
    GroupIndex::ApplyBatch(lines, groupName, {}, lastFirst);
    textfile::Rewrite(idxFile, textfile::JoinLines(lines));
}

// The backup files count their steps in int.
std::function<void(int, int)> StepProgress(const Vault::Progress& progress) {
    return [&progress](int done, int total) {
        if (progress) {
            progress(static_cast<std::size_t>(done), static_cast<std::size_t>(total));
        }
    };
}

}  // namespace

// The key bytes and the cipher table made from them, together in locked memory.
struct Vault::Key {
    SecureBytes bytes;
    Cipher cipher;
};

void Vault::KeyDeleter::operator()(Key* key) const noexcept {
    key->~Key();  // the cipher wipes its table, SecureBytes its bytes
    SecureFree(key, sizeof(Key));
}

std::unique_ptr<Vault::Key, Vault::KeyDeleter> Vault::MakeKey(std::string_view password) {
    void* memory = SecureAllocate(sizeof(Key));
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    SecureBytes bytes = KeyBytes(password);
    const Cipher cipher(bytes.span());
    return std::unique_ptr<Key, KeyDeleter>(new (memory) Key{std::move(bytes), cipher});
}

Vault::Vault(DataPaths paths) : paths_(std::move(paths)) {
    if (SealedVault::IsPresent(paths_)) {
        sealed_ = std::make_unique<SealedVault>(paths_);
    }
}

Vault::~Vault() = default;

int Vault::Setting(const settings::IntKey& key, int protectedDefault) const {
    return Settings().Get(key, sealed_ ? protectedDefault : key.defaultValue);
}

VaultFormat Vault::format() const noexcept {
    return sealed_ ? VaultFormat::kProtected : VaultFormat::kLegacy;
}

bool Vault::HasPassword() const {
    return sealed_ || !Settings().Get(settings::kPass).empty();
}

bool Vault::Open(std::string_view password) {
    if (sealed_) {
        return sealed_->Open(password);
    }
    if (CheckValue(password) != Settings().Get(settings::kPass)) {
        return false;
    }
    key_ = MakeKey(password);
    return true;
}

void Vault::SetFirstPassword(std::string_view password) {
    if (sealed_) {
        throw std::logic_error("a protected vault has its password");
    }
    Settings().Set(settings::kPass, CheckValue(password));
    key_ = MakeKey(password);
}

void Vault::UseKeyOf(std::string_view password) {
    if (sealed_) {
        throw std::logic_error("a protected vault takes its key from its seal");
    }
    key_ = MakeKey(password);
}

void Vault::Close() noexcept {
    key_.reset();
    if (sealed_) {
        sealed_->Close();
    }
}

bool Vault::IsOpen() const noexcept {
    return sealed_ ? sealed_->IsOpen() : key_ != nullptr;
}

bool Vault::IsKeyOf(std::string_view password) const {
    if (sealed_) {
        return sealed_->IsKeyOf(password);
    }
    return key_ != nullptr && KeyBytes(password) == key_->bytes;
}

const Vault::Key& Vault::OpenKey() const {
    if (key_ == nullptr || sealed_) {
        throw std::logic_error("the vault is not open");
    }
    return *key_;
}

const Cipher& Vault::cipher() const {
    return OpenKey().cipher;
}

std::vector<std::string> Vault::GroupNames() const {
    if (sealed_) {
        return sealed_->GroupNames();
    }
    return GroupIndex(paths_.strIdxFile).GetGroupNames();
}

std::vector<std::string> Vault::GroupEntry(std::string_view group) const {
    if (sealed_) {
        return sealed_->GroupEntry(group);
    }
    return GroupIndex(paths_.strIdxFile).GetGroupItems(group);
}

std::vector<BlockNumber> Vault::GroupBlocks(std::string_view group) const {
    std::vector<BlockNumber> blocks;
    const auto entry = GroupEntry(group);
    for (std::size_t i = 1; i < entry.size(); ++i) {
        if (const auto block = ParseBlockNumber(entry[i])) {
            blocks.push_back(*block);
        }
    }
    return blocks;
}

void Vault::AddGroup(std::string_view head) {
    ++changes_;
    if (sealed_) {
        return sealed_->AddGroup(head);
    }
    GroupIndex(paths_.strIdxFile).UpdateGroupLine(head, kNoBlock, kNoBlock);
}

void Vault::RenameGroup(std::string_view group, std::string_view newHead) {
    ++changes_;
    if (sealed_) {
        return sealed_->RenameGroup(group, newHead);
    }
    GroupIndex(paths_.strIdxFile).RenameGroupLine(group, newHead);
}

void Vault::RemoveGroup(std::string_view group) {
    ++changes_;
    if (sealed_) {
        return sealed_->RemoveGroup(group);
    }
    GroupIndex index(paths_.strIdxFile);
    const auto entry = index.GetGroupItems(group);
    index.DeleteGroupLine(group);
    ItemStore store(paths_.strItmFile, paths_.strBmpFile);
    for (std::size_t i = 1; i < entry.size(); ++i) {
        if (const auto block = ParseBlockNumber(entry[i])) {
            FreeOrLeak(store, *block);
        }
    }
}

ItemLoader Vault::Reader(ItemReader::Scope scope) const {
    if (sealed_) {
        return ItemLoader(sealed_->model());
    }
    return ItemLoader(paths_.strItmFile, cipher(), scope);
}

ItemRecord Vault::LoadItem(BlockNumber block) const {
    return Reader().Load(block);
}

BlockNumber Vault::SaveItem(std::string_view group, const ItemRecord& item, BlockNumber oldBlock) {
    ++changes_;
    if (sealed_) {
        return sealed_->SaveItem(group, item, oldBlock);
    }
    ItemPlaintext plain = BuildItemPlaintext(item);
    cipher().Encrypt(plain.bytes.span());
    ItemStore store(paths_.strItmFile, paths_.strBmpFile);
    const BlockNumber newBlock =
        store.StoreItem(plain.bytes.span(), plain.count, item.Expire, item.ExpireDate);
    try {
        GroupIndex(paths_.strIdxFile).UpdateGroupLine(group, oldBlock, newBlock);
    } catch (const std::exception&) {
        // No line names the new record: give its blocks back, keep the old item.
        FreeOrLeak(store, newBlock);
        throw;
    }
    if (oldBlock != kNoBlock) {
        FreeOrLeak(store, oldBlock);
    }
    return newBlock;
}

void Vault::DeleteItems(std::string_view group, std::span<const BlockNumber> blocks) {
    ++changes_;
    if (sealed_) {
        return sealed_->DeleteItems(group, blocks);
    }
    GroupIndex(paths_.strIdxFile).RemoveItems(group, blocks);
    ItemStore store(paths_.strItmFile, paths_.strBmpFile);
    for (const BlockNumber block : blocks) {
        FreeOrLeak(store, block);
    }
}

void Vault::MoveItems(std::span<const BlockNumber> blocks, std::string_view fromGroup,
                      std::string_view toGroup) {
    ++changes_;
    if (sealed_) {
        return sealed_->MoveItems(blocks, fromGroup, toGroup);
    }
    GroupIndex(paths_.strIdxFile).MoveItems(blocks, fromGroup, toGroup);
}

void Vault::AddItems(std::string_view group, std::span<const ItemRecord> items,
                     std::vector<BlockNumber>& stored, const Progress& progress) {
    ++changes_;
    if (sealed_) {
        const auto ids = sealed_->AddItems(group, items);
        stored.insert(stored.end(), ids.begin(), ids.end());
        if (progress) {
            progress(items.size(), items.size());
        }
        return;
    }
    RecordBatch batch(paths_.strItmFile, paths_.strBmpFile);
    std::vector<BlockNumber> blocks;
    std::exception_ptr failure;
    try {
        for (std::size_t i = 0; i < items.size(); ++i) {
            ItemPlaintext plain = BuildItemPlaintext(items[i]);
            cipher().Encrypt(plain.bytes.span());
            blocks.push_back(
                batch.Store(plain.bytes.span(), plain.count, items[i].Expire, items[i].ExpireDate));
            if (progress) {
                progress(i + 1, items.size());
            }
        }
    } catch (...) {
        // What was stored up to here is still named by the index below.
        failure = std::current_exception();
    }
    if (!blocks.empty()) {
        batch.Commit();
        PrependBlocks(paths_.strIdxFile, group, blocks);
        stored.insert(stored.end(), blocks.begin(), blocks.end());
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

ItemRecord Vault::UseItem(std::string_view group, BlockNumber block) {
    ItemRecord item = LoadItem(block);
    MarkUsed(group, block);
    return item;
}

void Vault::MarkUsed(std::string_view group, BlockNumber block) {
    ++changes_;
    if (sealed_) {
        return sealed_->MarkUsed(group, block);
    }
    GroupIndex(paths_.strIdxFile).UpdateGroupLine(group, block, block);
}

std::filesystem::path Vault::Backup(const std::string& fileName, BackupHeader header,
                                    const Progress& progress) const {
    if (sealed_) {
        auto file = sealed_->Backup(fileName, header);
        if (progress) {
            progress(1, 1);
        }
        return file;
    }
    const SecureBytes check = CheckBlock(OpenKey().bytes.span());
    std::copy(check.span().begin(), check.span().end(), header.checkBlock.begin());
    return BackupFile::Write(paths_, fileName, header, StepProgress(progress));
}

template <typename Change>
void Vault::ChangeTo(std::string_view password, Change&& change) {
    try {
        change();
    } catch (...) {
        // Once committed, the next start-up finishes the change: the new password holds.
        if (VaultJournal(paths_).Pending()) {
            UseKeyOf(password);
        }
        throw;
    }
    UseKeyOf(password);
}

void Vault::Restore(const std::filesystem::path& backupFile, std::string_view password,
                    const Progress& progress) {
    ++changes_;
    if (sealed_ || SealedVault::IsBackup(backupFile)) {
        if (!sealed_ || !SealedVault::IsBackup(backupFile)) {
            throw StorageError(backupFile, "保管庫と形式の違うバックアップは復旧できません。");
        }
        sealed_->Restore(backupFile, password);
        if (progress) {
            progress(1, 1);
        }
        return;
    }
    ChangeTo(password, [&] { BackupRestore::Restore(paths_, backupFile, StepProgress(progress)); });
}

MasterPasswordChange::Result Vault::ChangePassword(std::string_view newPassword,
                                                   const Progress& progress) {
    if (sealed_) {
        sealed_->ChangePassword(newPassword);
        if (progress) {
            progress(1, 1);
        }
        return {static_cast<int>(sealed_->model().ItemCount()), 0};
    }
    const SecureBytes newKey = KeyBytes(newPassword);
    MasterPasswordChange::Result result;
    ChangeTo(newPassword, [&] {
        result = MasterPasswordChange::ReencryptAll(paths_, OpenKey().bytes.span(), newKey.span(),
                                                    progress);
    });
    return result;
}

VaultCheck::Report Vault::Check() const {
    if (sealed_) {
        return {};  // its seal and its contents are checked whenever it opens
    }
    return VaultCheck::Run(paths_);
}

const std::filesystem::path& Vault::BackupFolder() const noexcept {
    return sealed_ ? paths_.strSealedBackupFolder : paths_.strBackupFolder;
}

bool Vault::BackupOpensWith(const std::filesystem::path& backupFile,
                            std::string_view password) const {
    if (SealedVault::IsBackup(backupFile)) {
        return SealedVault::BackupOpensWith(backupFile, password);
    }
    return CheckValueText(BackupFile::ReadHeader(backupFile).checkBlock) == CheckValue(password);
}

}  // namespace zorvan
