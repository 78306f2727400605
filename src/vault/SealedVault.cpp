#include "vault/SealedVault.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "platform/AtomicFile.h"
#include "platform/FileAccess.h"
#include "platform/StorageError.h"
#include "vault/DurableFiles.h"
#include "vault/GroupIndex.h"
#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"
#include "vault/VaultJournal.h"

namespace zorvan {

namespace {

bool Named(const SealedModel::Group& group, std::string_view name) {
    return GroupIndex::GetGroupName(group.head) == name;
}

void Drop(std::vector<BlockNumber>& items, std::span<const BlockNumber> dropped) {
    std::erase_if(items, [&](BlockNumber id) {
        return std::find(dropped.begin(), dropped.end(), id) != dropped.end();
    });
}

// The group of the name, made at the end when there is none.
SealedModel::Group& GroupFor(SealedModel::Draft& draft, std::string_view name) {
    if (auto* group = draft.Find(name)) {
        return *group;
    }
    return draft.groups.emplace_back(SealedModel::Group{std::string(name), {}});
}

std::span<const std::uint8_t> SealedPart(std::span<const std::uint8_t> backup,
                                         const std::filesystem::path& file) {
    const BackupHeader header = BackupFile::DecodeHeader(backup.first<BackupFile::kHeaderSize>());
    BackupFile::CheckLengths(header, backup.size(), file);
    return backup.subspan(BackupFile::kHeaderSize, static_cast<std::size_t>(header.itmLength));
}

std::vector<std::uint8_t> ReadBackup(const std::filesystem::path& file) {
    auto bytes = durable::ReadAll(file);
    if (bytes.size() < BackupFile::kHeaderSize) {
        throw StorageError(file, "バックアップファイルが短すぎます。");
    }
    return bytes;
}

// The generation of the last file written here; 0 when none was, or the note is unreadable.
std::uint64_t SeenGeneration(const DataPaths& paths) {
    const std::string text = SettingsStore(paths.strIniFile).Get(settings::kSealedGeneration);
    std::uint64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::optional<std::pair<SealedKey, LockedBuffer>> OpenBackup(const std::filesystem::path& file,
                                                             std::string_view password) {
    const auto bytes = ReadBackup(file);
    const auto sealedPart = SealedPart(bytes, file);
    const SealedHeader header = sealed::DecodeHeader(sealedPart, file);
    SealedKey key = sealed::DeriveKey(password, header.kdf, header.salt);
    auto contents = sealed::Unseal(sealedPart, key);
    if (!contents) {
        return std::nullopt;
    }
    return std::make_pair(std::move(key), std::move(*contents));
}

}  // namespace

bool SealedVault::IsPresent(const DataPaths& paths) {
    std::error_code error;
    return std::filesystem::exists(paths.strSealedFile, error);
}

bool SealedVault::Open(std::string_view password) {
    const auto bytes = durable::ReadAll(paths_.strSealedFile);
    const SealedHeader header = sealed::DecodeHeader(bytes, paths_.strSealedFile);
    SealedKey key = sealed::DeriveKey(password, header.kdf, header.salt);
    auto contents = sealed::Unseal(bytes, key);
    if (!contents) {
        return false;
    }
    if (header.generation < SeenGeneration(paths_)) {
        throw StorageError(paths_.strSealedFile,
                           "保管庫のファイルが、最後に保存したものより古いものに置き換えられて"
                           "います。開くのをやめました。");
    }
    model_ = SealedModel::Parse(std::move(*contents), paths_.strSealedFile);
    key_ = std::move(key);
    generation_ = header.generation;
    return true;
}

void SealedVault::Close() noexcept {
    key_.reset();
    model_ = SealedModel();
}

bool SealedVault::IsKeyOf(std::string_view password) const {
    if (!key_) {
        return false;
    }
    const SealedKey other = sealed::DeriveKey(password, key_->kdf, key_->salt);
    return std::equal(other.key.span().begin(), other.key.span().end(), key_->key.span().begin(),
                      key_->key.span().end());
}

const SealedKey& SealedVault::Key() const {
    if (!key_) {
        throw std::logic_error("the vault is not open");
    }
    return *key_;
}

const SealedModel& SealedVault::model() const {
    Key();
    return model_;
}

std::vector<std::string> SealedVault::GroupNames() const {
    std::vector<std::string> names;
    for (const auto& group : model().groups()) {
        names.push_back(GroupIndex::GetGroupName(group.head));
    }
    if (names.empty()) {
        names.emplace_back();  // as an empty index gives
    }
    return names;
}

std::vector<std::string> SealedVault::GroupEntry(std::string_view group) const {
    if (group.empty()) {
        return {};
    }
    for (const auto& line : model().groups()) {
        if (Named(line, group)) {
            std::vector<std::string> entry{line.head};
            for (const BlockNumber id : line.items) {
                entry.push_back(std::to_string(id));
            }
            return entry;
        }
    }
    return {std::string(group)};
}

void SealedVault::AddGroup(std::string_view head) {
    auto draft = model().Edit();
    if (draft.Find(GroupIndex::GetGroupName(head)) == nullptr) {
        draft.groups.push_back({std::string(head), {}});
    }
    Commit(draft);
}

void SealedVault::RenameGroup(std::string_view group, std::string_view newHead) {
    auto draft = model().Edit();
    for (auto& line : draft.groups) {
        if (Named(line, group)) {
            line.head = newHead;
        }
    }
    Commit(draft);
}

void SealedVault::RemoveGroup(std::string_view group) {
    auto draft = model().Edit();
    std::erase_if(draft.groups, [&](const auto& line) { return Named(line, group); });
    Commit(draft);
}

BlockNumber SealedVault::SaveItem(std::string_view group, const ItemRecord& item,
                                  BlockNumber oldItem) {
    auto draft = model().Edit();
    const BlockNumber id = draft.Add(item);
    auto& line = GroupFor(draft, group);
    std::erase(line.items, oldItem);
    line.items.insert(line.items.begin(), id);
    Commit(draft);
    return id;
}

void SealedVault::DeleteItems(std::string_view group, std::span<const BlockNumber> items) {
    auto draft = model().Edit();
    for (auto& line : draft.groups) {
        if (Named(line, group)) {
            Drop(line.items, items);
        }
    }
    Commit(draft);
}

void SealedVault::MoveItems(std::span<const BlockNumber> items, std::string_view fromGroup,
                            std::string_view toGroup) {
    auto draft = model().Edit();
    std::vector<BlockNumber> moved;
    for (auto& line : draft.groups) {
        if (Named(line, fromGroup)) {
            for (const BlockNumber id : items) {
                if (std::find(line.items.begin(), line.items.end(), id) != line.items.end()) {
                    moved.push_back(id);
                }
            }
            Drop(line.items, items);
        }
    }
    auto& to = GroupFor(draft, toGroup);
    to.items.insert(to.items.begin(), moved.rbegin(), moved.rend());
    Commit(draft);
}

void SealedVault::MarkUsed(std::string_view group, BlockNumber item) {
    auto draft = model().Edit();
    auto* line = draft.Find(group);
    if (line == nullptr ||
        std::find(line->items.begin(), line->items.end(), item) == line->items.end()) {
        return;
    }
    if (line->items.front() == item) {
        return;  // already first: nothing to write
    }
    std::erase(line->items, item);
    line->items.insert(line->items.begin(), item);
    Commit(draft);
}

std::vector<BlockNumber> SealedVault::AddItems(std::string_view group,
                                               std::span<const ItemRecord> items) {
    auto draft = model().Edit();
    std::vector<BlockNumber> ids;
    ids.reserve(items.size());
    for (const auto& item : items) {
        ids.push_back(draft.Add(item));
    }
    auto& line = GroupFor(draft, group);
    line.items.insert(line.items.begin(), ids.rbegin(), ids.rend());
    Commit(draft);
    return ids;
}

void SealedVault::Commit(const SealedModel::Draft& draft) {
    SealedModel next = model().Build(draft);
    Write(next.contents().span(), Key());
    model_ = std::move(next);
}

std::uint64_t SealedVault::NextGeneration() const {
    return std::max(generation_, SeenGeneration(paths_)) + 1;
}

void SealedVault::Write(std::span<const std::uint8_t> contents, const SealedKey& key) {
    const std::uint64_t generation = NextGeneration();
    const auto bytes = sealed::Seal(contents, key, generation);
    const auto staged = VaultJournal::StagedPath(paths_.strSealedFile);
    durable::WriteNew(staged, bytes);
    durable::Replace(staged, paths_.strSealedFile);
    Noted(generation);
}

void SealedVault::Noted(std::uint64_t generation) {
    generation_ = generation;
    try {
        SettingsStore(paths_.strIniFile)
            .Set(settings::kSealedGeneration, std::to_string(generation));
    } catch (const std::exception&) {
        // The file is newer than the number noted, which is allowed: only an older
        // one is refused. The next write notes it again.
    }
}

void SealedVault::Create(SealedModel model, SealedKey key, const Progress& progress) {
    const std::uint64_t generation = NextGeneration();
    const auto bytes = sealed::Seal(model.contents().span(), key, generation);
    if (progress) {
        progress(1, 3);
    }
    durable::WriteNew(VaultJournal::StagedPath(paths_.strSealedFile), bytes);
    // The settings note the generation in the same step, so that the folder never
    // holds the new file with the old note or the other way round.
    const auto stagedIni = VaultJournal::StagedPath(paths_.strIniFile);
    durable::WriteNew(stagedIni, durable::ReadAll(paths_.strIniFile));
    SettingsStore(stagedIni).Set(settings::kSealedGeneration, std::to_string(generation));
    if (progress) {
        progress(2, 3);
    }
    model_ = std::move(model);
    key_ = std::move(key);
    generation_ = generation;
    VaultJournal(paths_).Commit(VaultJournal::Kind::kUpgrade,
                                {paths_.strIniFile, paths_.strSealedFile});
    if (progress) {
        progress(3, 3);
    }
}

std::filesystem::path SealedVault::Backup(const std::string& fileName, BackupHeader header) const {
    const auto sealedFile = durable::ReadAll(paths_.strSealedFile);
    header.checkBlock = {};  // a protected backup has no check value
    header.itmLength = static_cast<std::int32_t>(sealedFile.size());
    header.bmpLength = header.iniLength = header.idxLength = 0;
    const auto head = BackupFile::EncodeHeader(header);
    std::string bytes(head.begin(), head.end());
    bytes.append(sealedFile.begin(), sealedFile.end());
    CreatePrivateFolders(paths_.strSealedBackupFolder);
    const auto file = paths_.strSealedBackupFolder / Utf8ToPath(fileName);
    ReplaceFileAtomically(file, bytes);
    return file;
}

bool SealedVault::IsBackup(const std::filesystem::path& file) {
    try {
        const auto bytes = ReadBackup(file);
        sealed::DecodeHeader(SealedPart(bytes, file), file);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool SealedVault::BackupOpensWith(const std::filesystem::path& file, std::string_view password) {
    return OpenBackup(file, password).has_value();
}

void SealedVault::Restore(const std::filesystem::path& file, std::string_view password) {
    auto opened = OpenBackup(file, password);
    if (!opened) {
        throw StorageError(file, "パスワードが違うか、バックアップが壊れています。");
    }
    auto model = SealedModel::Parse(std::move(opened->second), file);
    Write(model.contents().span(), opened->first);
    model_ = std::move(model);
    key_ = std::move(opened->first);
}

void SealedVault::ChangePassword(std::string_view newPassword) {
    SealedKey key = sealed::DeriveKey(newPassword, Key().kdf);
    Write(model().contents().span(), key);
    key_ = std::move(key);
}

}  // namespace zorvan
