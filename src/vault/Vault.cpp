#include "vault/Vault.h"

#include <exception>
#include <new>
#include <stdexcept>

#include "platform/SecureHeap.h"
#include "vault/BackupRestore.h"
#include "vault/Cipher.h"
#include "vault/GroupIndex.h"
#include "vault/ItemRecord.h"
#include "vault/ItemStore.h"
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

Vault::Vault(DataPaths paths) : paths_(std::move(paths)) {}

Vault::~Vault() = default;

bool Vault::HasPassword() const {
    return !Settings().Get(settings::kPass).empty();
}

bool Vault::Open(std::string_view password) {
    if (CheckValue(password) != Settings().Get(settings::kPass)) {
        return false;
    }
    key_ = MakeKey(password);
    return true;
}

void Vault::SetFirstPassword(std::string_view password) {
    Settings().Set(settings::kPass, CheckValue(password));
    key_ = MakeKey(password);
}

void Vault::UseKeyOf(std::string_view password) {
    key_ = MakeKey(password);
}

void Vault::Close() noexcept {
    key_.reset();
}

bool Vault::IsKeyOf(std::string_view password) const {
    return key_ != nullptr && KeyBytes(password) == key_->bytes;
}

const Vault::Key& Vault::OpenKey() const {
    if (key_ == nullptr) {
        throw std::logic_error("the vault is not open");
    }
    return *key_;
}

const Cipher& Vault::cipher() const {
    return OpenKey().cipher;
}

std::vector<std::string> Vault::GroupNames() const {
    return GroupIndex(paths_.strIdxFile).GetGroupNames();
}

std::vector<std::string> Vault::GroupEntry(std::string_view group) const {
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
    GroupIndex(paths_.strIdxFile).UpdateGroupLine(head, kNoBlock, kNoBlock);
}

void Vault::RenameGroup(std::string_view group, std::string_view newHead) {
    GroupIndex(paths_.strIdxFile).RenameGroupLine(group, newHead);
}

void Vault::RemoveGroup(std::string_view group) {
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

ItemReader Vault::Reader(ItemReader::Scope scope) const {
    return ItemReader(paths_.strItmFile, cipher(), scope);
}

ItemRecord Vault::LoadItem(BlockNumber block) const {
    return Reader().Load(block);
}

BlockNumber Vault::SaveItem(std::string_view group, const ItemRecord& item, BlockNumber oldBlock) {
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
    GroupIndex(paths_.strIdxFile).RemoveItems(group, blocks);
    ItemStore store(paths_.strItmFile, paths_.strBmpFile);
    for (const BlockNumber block : blocks) {
        FreeOrLeak(store, block);
    }
}

void Vault::MoveItems(std::span<const BlockNumber> blocks, std::string_view fromGroup,
                      std::string_view toGroup) {
    GroupIndex(paths_.strIdxFile).MoveItems(blocks, fromGroup, toGroup);
}

ItemRecord Vault::UseItem(std::string_view group, BlockNumber block) {
    ItemRecord item = LoadItem(block);
    MarkUsed(group, block);
    return item;
}

void Vault::MarkUsed(std::string_view group, BlockNumber block) {
    GroupIndex(paths_.strIdxFile).UpdateGroupLine(group, block, block);
}

std::filesystem::path Vault::Backup(const std::string& fileName, BackupHeader header,
                                    const Progress& progress) const {
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
    ChangeTo(password, [&] { BackupRestore::Restore(paths_, backupFile, StepProgress(progress)); });
}

MasterPasswordChange::Result Vault::ChangePassword(std::string_view newPassword,
                                                   const Progress& progress) {
    const SecureBytes newKey = KeyBytes(newPassword);
    MasterPasswordChange::Result result;
    ChangeTo(newPassword, [&] {
        result = MasterPasswordChange::ReencryptAll(paths_, OpenKey().bytes.span(), newKey.span(),
                                                    progress);
    });
    return result;
}

VaultCheck::Report Vault::Check() const {
    return VaultCheck::Run(paths_);
}

}  // namespace zorvan
