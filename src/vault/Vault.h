#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SecureBytes.h"
#include "vault/BackupFile.h"
#include "vault/BlockNumber.h"
#include "vault/DataFiles.h"
#include "vault/ItemLoader.h"
#include "vault/ItemReader.h"
#include "vault/MasterPasswordChange.h"
#include "vault/SealedFile.h"
#include "vault/SettingsStore.h"
#include "vault/VaultCheck.h"

namespace zorvan {

class Cipher;
class SealedVault;
struct ItemRecord;

enum class VaultFormat {
    kLegacy,     // the four files of the older program; the default
    kProtected,  // one file sealed under a key derived from the password
};

// One vault: its data folder and, once opened with the master password, its key.
// Every change the windows make goes through here, in the order of writes that
// keeps the vault whole when the program is cut short. The key lives in locked
// memory, wiped when the vault closes; the password itself is not kept. Storage
// failures throw StorageError (or another std::exception).
//
// A folder with a protected vault file holds a protected vault; the operations
// then work on it (SealedVault), with item numbers in place of blocks.
class Vault {
public:
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    explicit Vault(DataPaths paths);
    ~Vault();
    Vault(const Vault&) = delete;
    Vault& operator=(const Vault&) = delete;

    const DataPaths& paths() const noexcept { return paths_; }
    VaultFormat format() const noexcept;
    // Counts the changes made through this object: what was read before a change
    // can tell that it is out of date.
    std::uint64_t changes() const noexcept { return changes_; }
    SettingsStore Settings() const { return SettingsStore(paths_.strIniFile); }
    // A setting whose default is stricter for a protected vault.
    int Setting(const settings::IntKey& key, int protectedDefault) const;

    // The master password. A new vault has none until SetFirstPassword.
    bool HasPassword() const;
    // Opens the vault when the password matches the stored check value, or opens
    // the protected vault's seal. Throws StorageError for a protected file that is
    // damaged or was replaced by an older one.
    bool Open(std::string_view password);
    // Stores the password's check value and opens the vault with it.
    void SetFirstPassword(std::string_view password);
    // Takes the password's key without a check: after a restore the vault opens
    // with the backup's password, which the caller checked against the backup.
    void UseKeyOf(std::string_view password);
    void Close() noexcept;
    bool IsOpen() const noexcept;
    // Whether the password gives the key the vault is open with.
    bool IsKeyOf(std::string_view password) const;
    // The open legacy vault's record cipher; throws std::logic_error when closed or
    // protected.
    const Cipher& cipher() const;

    // Groups: names in index order, and a group's entry as the index holds it:
    // [head, block, block, ...], [group] when there is no such line.
    std::vector<std::string> GroupNames() const;
    std::vector<std::string> GroupEntry(std::string_view group) const;
    std::vector<BlockNumber> GroupBlocks(std::string_view group) const;
    void AddGroup(std::string_view head);
    void RenameGroup(std::string_view group, std::string_view newHead);
    // Removes the group's line, then frees the records it named; a record that
    // cannot be freed only stays allocated.
    void RemoveGroup(std::string_view group);

    // Items. A reader loads many records through one open file.
    ItemLoader Reader(ItemReader::Scope scope = ItemReader::Scope::kSome) const;
    ItemRecord LoadItem(BlockNumber block) const;
    // Stores the item as a new record first on the group's line, in place of
    // oldBlock (kNoBlock: a new item), then frees the old record. When the index
    // cannot be written, the new record's blocks are given back.
    BlockNumber SaveItem(std::string_view group, const ItemRecord& item, BlockNumber oldBlock);
    // Takes the blocks off the group's line in one rewrite, then frees the records.
    void DeleteItems(std::string_view group, std::span<const BlockNumber> blocks);
    void MoveItems(std::span<const BlockNumber> blocks, std::string_view fromGroup,
                   std::string_view toGroup);
    // Loads the item and puts it first on its group's line: the most recently used
    // items come first.
    ItemRecord UseItem(std::string_view group, BlockNumber block);
    // Puts the item first on its group's line without reading it.
    void MarkUsed(std::string_view group, BlockNumber block);
    // Stores the items first on the group's line, the last of them first, making
    // the group when needed; stored receives their blocks in the items' order. The
    // records are all stored before the line names any of them, and the line is
    // rewritten once. After a failure, the items stored before it stay in the group
    // and are in stored.
    void AddItems(std::string_view group, std::span<const ItemRecord> items,
                  std::vector<BlockNumber>& stored, const Progress& progress = {});

    // The whole vault. Backup fills in the key's check block.
    std::filesystem::path Backup(const std::string& fileName, BackupHeader header,
                                 const Progress& progress = {}) const;
    // Puts the backup in place of the vault; password is the backup's, already
    // checked. The vault then opens with it, or with the old key when the restore
    // failed before it was committed.
    void Restore(const std::filesystem::path& backupFile, std::string_view password,
                 const Progress& progress = {});
    // Re-enciphers everything under the new password; the key follows the password
    // the vault opens with afterwards, also after a failure.
    MasterPasswordChange::Result ChangePassword(std::string_view newPassword,
                                                const Progress& progress = {});
    VaultCheck::Report Check() const;

    // Where the backups of this vault's format are kept.
    const std::filesystem::path& BackupFolder() const noexcept;
    // Whether the password is the backup's: its check value for a legacy backup,
    // its seal for a protected one.
    bool BackupOpensWith(const std::filesystem::path& backupFile, std::string_view password) const;

    // Seals the open legacy vault into a protected one under a new password and
    // commits it through the journal; the vault is then open as protected. The
    // legacy files stay as they were. A record that cannot be read stops it first.
    void Upgrade(std::string_view newPassword, const KdfParams& kdf, const Progress& progress = {});
    // Writes the open vault's items as a legacy vault, with its own password, into a
    // folder that holds no vault yet: a copy for the older program.
    void WriteLegacyCopy(const std::filesystem::path& folder, std::string_view legacyPassword,
                         const Progress& progress = {}) const;
    // After the upgrade: overwrites the legacy files and the legacy backups with
    // zeros, then removes them, and drops the check value from the settings. How
    // many files were removed.
    int RemoveLegacyFiles();

    // The group shown last, for the next start. A protected vault notes only its
    // place in the list: its names are not written outside the seal.
    void RememberGroup(std::string_view group) const;
    std::string RememberedGroup() const;

private:
    struct Key;
    struct KeyDeleter {
        void operator()(Key* key) const noexcept;
    };
    static std::unique_ptr<Key, KeyDeleter> MakeKey(std::string_view password);
    const Key& OpenKey() const;
    // Runs a change through the journal; the key then follows the password the
    // vault opens with: the new one once the change was committed, else the old.
    template <typename Change>
    void ChangeTo(std::string_view password, Change&& change);

    DataPaths paths_;
    std::unique_ptr<Key, KeyDeleter> key_;
    std::unique_ptr<SealedVault> sealed_;
    std::uint64_t changes_ = 0;
};

}  // namespace zorvan
