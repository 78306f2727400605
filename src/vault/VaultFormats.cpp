// The vault's moves between its two formats.
#include <algorithm>
#include <set>
#include <stdexcept>

#include "platform/BinaryFile.h"
#include "platform/StorageError.h"
#include "vault/DurableFiles.h"
#include "vault/SealedModel.h"
#include "vault/SealedVault.h"
#include "vault/TextFile.h"
#include "vault/Vault.h"
#include "vault/VaultJournal.h"

namespace zorvan {

namespace {

struct GroupLine {
    std::string name;
    std::string head;
    std::vector<BlockNumber> items;
};

// Each group once, in the index's order, with its items most recently used first.
std::vector<GroupLine> Lines(const Vault& vault) {
    std::vector<GroupLine> lines;
    std::set<std::string> seen;
    for (const auto& name : vault.GroupNames()) {
        if (name.empty() || !seen.insert(name).second) {
            continue;
        }
        const auto entry = vault.GroupEntry(name);
        lines.push_back({name, entry.front(), vault.GroupBlocks(name)});
    }
    return lines;
}

std::size_t ItemTotal(const std::vector<GroupLine>& lines) {
    std::size_t total = 0;
    for (const auto& line : lines) {
        total += line.items.size();
    }
    return total;
}

// Overwrites the file's bytes with zeros and forces them out before removing it, so
// that the file system's blocks do not keep the old contents.
void OverwriteAndRemove(const std::filesystem::path& file) {
    {
        BinaryFile out(file, BinaryFile::Mode::kReadWrite);
        const std::vector<std::uint8_t> zeros(1 << 16, 0);
        const std::uint64_t size = out.Size();
        for (std::uint64_t at = 0; at < size; at += zeros.size()) {
            const auto count =
                static_cast<std::size_t>(std::min<std::uint64_t>(zeros.size(), size - at));
            out.WriteAt(at, std::span(zeros).first(count));
        }
        out.Sync();
    }
    durable::RemoveIfPresent(file);
}

}  // namespace

void Vault::Upgrade(std::string_view newPassword, const KdfParams& kdf, const Progress& progress) {
    if (sealed_) {
        throw std::logic_error("the vault is protected already");
    }
    ++changes_;
    const auto lines = Lines(*this);
    const std::size_t total = ItemTotal(lines) + 3;
    SealedModel model;
    {
        SealedModel::Draft draft = model.Edit();
        ItemReader reader(paths_.strItmFile, cipher(), ItemReader::Scope::kWholeFile);
        std::size_t done = 0;
        for (const auto& line : lines) {
            SealedModel::Group group{line.head, {}};
            for (const BlockNumber block : line.items) {
                group.items.push_back(draft.Add(reader.Load(block)));
                if (progress) {
                    progress(++done, total);
                }
            }
            draft.groups.push_back(std::move(group));
        }
        model = model.Build(draft);
    }  // the draft's texts are wiped here
    auto sealed = std::make_unique<SealedVault>(paths_);
    const std::size_t base = total - 3;
    try {
        sealed->Create(std::move(model), sealed::DeriveKey(newPassword, kdf),
                       [&](std::size_t done, std::size_t) {
                           if (progress) {
                               progress(base + done, total);
                           }
                       });
    } catch (...) {
        // Once committed, the next start-up installs the protected file: it counts.
        if (VaultJournal(paths_).Pending()) {
            sealed_ = std::move(sealed);
            key_.reset();
        }
        throw;
    }
    sealed_ = std::move(sealed);
    key_.reset();
}

void Vault::WriteLegacyCopy(const std::filesystem::path& folder, std::string_view legacyPassword,
                            const Progress& progress) const {
    const DataPaths target = DataPaths::InFolder(folder);
    for (const auto* file : {&target.strIdxFile, &target.strItmFile, &target.strSealedFile}) {
        std::error_code error;
        if (std::filesystem::file_size(*file, error) > 0 && !error) {
            throw StorageError(
                *file, "このフォルダーには保管庫があります。空のフォルダーを選んでください。");
        }
    }
    const auto lines = Lines(*this);
    const std::size_t total = ItemTotal(lines);
    std::size_t done = 0;
    Vault copy(InitDataFiles(folder));
    copy.SetFirstPassword(legacyPassword);
    auto reader = Reader(ItemReader::Scope::kWholeFile);
    for (const auto& line : lines) {
        copy.AddGroup(line.head);
        // Added last first, so that the copy lists them in the same order.
        std::vector<ItemRecord> items;
        items.reserve(line.items.size());
        for (auto it = line.items.rbegin(); it != line.items.rend(); ++it) {
            items.push_back(reader.Load(*it));
        }
        std::vector<BlockNumber> stored;
        copy.AddItems(line.name, items, stored);
        done += items.size();
        if (progress) {
            progress(done, total);
        }
    }
}

int Vault::RemoveLegacyFiles() {
    if (!sealed_) {
        throw std::logic_error("only a protected vault can let its legacy files go");
    }
    int removed = 0;
    for (const auto* file : {&paths_.strIdxFile, &paths_.strItmFile, &paths_.strBmpFile}) {
        if (std::filesystem::exists(*file)) {
            OverwriteAndRemove(*file);
            ++removed;
        }
    }
    for (const auto& name : textfile::ListFileNames(paths_.strBackupFolder)) {
        OverwriteAndRemove(paths_.strBackupFolder / Utf8ToPath(name));
        ++removed;
    }
    key_.reset();
    // The check value gives the old password away, the group name the old layout.
    Settings().Set(settings::kPass, "");
    Settings().Set(settings::kLastGroup, "");
    return removed;
}

void Vault::RememberGroup(std::string_view group) const {
    if (!sealed_) {
        Settings().Set(settings::kLastGroup, group);
        return;
    }
    const auto names = GroupNames();
    const auto found = std::find(names.begin(), names.end(), group);
    Settings().Set(settings::kLastGroupPlace,
                   found == names.end() ? 0 : static_cast<int>(found - names.begin()) + 1);
}

std::string Vault::RememberedGroup() const {
    if (!sealed_) {
        return Settings().Get(settings::kLastGroup);
    }
    const auto names = GroupNames();
    const int place = Settings().Get(settings::kLastGroupPlace);
    return place >= 1 && static_cast<std::size_t>(place) <= names.size()
               ? names[static_cast<std::size_t>(place) - 1]
               : std::string();
}

}  // namespace zorvan
