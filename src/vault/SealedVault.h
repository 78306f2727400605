#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vault/BackupFile.h"
#include "vault/BlockNumber.h"
#include "vault/DataFiles.h"
#include "vault/ItemRecord.h"
#include "vault/SealedFile.h"
#include "vault/SealedModel.h"

namespace zorvan {

// A vault in the protected format: one sealed file, read whole when the vault
// opens and written whole, as the next generation, by every change. The operations
// follow the legacy vault's (see Vault), with numbers in place of blocks. Nothing
// is written unless the whole change can be; a failed write leaves both the file
// and what is held in memory as they were.
class SealedVault {
public:
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    explicit SealedVault(const DataPaths& paths) : paths_(paths) {}

    static bool IsPresent(const DataPaths& paths);

    // False when the seal does not open with the password. Throws StorageError for
    // a file that is damaged in a way that is not the password's doing, or that is
    // older than the last one this folder saw.
    bool Open(std::string_view password);
    void Close() noexcept;
    bool IsOpen() const noexcept { return key_.has_value(); }
    bool IsKeyOf(std::string_view password) const;
    const SealedModel& model() const;

    std::vector<std::string> GroupNames() const;
    std::vector<std::string> GroupEntry(std::string_view group) const;
    void AddGroup(std::string_view head);
    void RenameGroup(std::string_view group, std::string_view newHead);
    void RemoveGroup(std::string_view group);
    BlockNumber SaveItem(std::string_view group, const ItemRecord& item, BlockNumber oldItem);
    void DeleteItems(std::string_view group, std::span<const BlockNumber> items);
    void MoveItems(std::span<const BlockNumber> items, std::string_view fromGroup,
                   std::string_view toGroup);
    void MarkUsed(std::string_view group, BlockNumber item);
    // Puts the items first on the group's line (the last of them first), in one write.
    std::vector<BlockNumber> AddItems(std::string_view group, std::span<const ItemRecord> items);

    // A backup: the listing header of the legacy backups, then the sealed file.
    std::filesystem::path Backup(const std::string& fileName, BackupHeader header) const;
    static bool IsBackup(const std::filesystem::path& file);
    // Whether the password opens the backup's seal.
    static bool BackupOpensWith(const std::filesystem::path& file, std::string_view password);
    // The backup's contents, sealed anew under the backup's key, in place of the vault's.
    void Restore(const std::filesystem::path& file, std::string_view password);
    void ChangePassword(std::string_view newPassword);

    // Seals a new vault (the upgrade of a legacy one) and commits it through the
    // journal; the vault is then open with it.
    void Create(SealedModel model, SealedKey key, const Progress& progress = {});

private:
    // Seals the contents as the next generation and puts the file in place.
    void Write(std::span<const std::uint8_t> contents, const SealedKey& key);
    void Commit(const SealedModel::Draft& draft);
    std::uint64_t NextGeneration() const;
    void Noted(std::uint64_t generation);
    const SealedKey& Key() const;

    const DataPaths& paths_;
    std::optional<SealedKey> key_;
    SealedModel model_;
    std::uint64_t generation_ = 0;
};

}  // namespace zorvan
