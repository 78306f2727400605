#include "vault/MasterPasswordChange.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/SecureWipe.h"
#include "platform/StorageError.h"
#include "vault/Cipher.h"
#include "vault/DurableFiles.h"
#include "vault/GroupIndex.h"
#include "vault/ItemReader.h"
#include "vault/Settings.h"
#include "vault/SettingsKeys.h"
#include "vault/TextFile.h"
#include "vault/VaultJournal.h"

namespace zorvan {

namespace {

constexpr std::size_t kBlock = 16;
// Blocks between two progress reports.
constexpr std::size_t kReportEvery = 4096;

// Which blocks of the item file are headers and which are enciphered data of the
// records the index lists. A block listed twice, or shared by two records' data,
// is still re-enciphered once: the cipher works on each 16-byte unit alone.
// Every other block is named by no index line and is wiped, except the first
// block of a listed record too damaged to read, which stays as it is.
struct BlockMap {
    std::vector<bool> header;
    std::vector<bool> data;
    std::vector<bool> damaged;
    MasterPasswordChange::Result result;

    bool Named(std::size_t block) const { return header[block] || data[block] || damaged[block]; }
};

BlockMap MapListedRecords(const DataPaths& paths, std::uint64_t itmSize) {
    std::vector<BlockNumber> listed;
    // Every line counts, also a second line of the same name, which a group load
    // never shows but which must not be left under the old key.
    for (const auto& line : textfile::ReadExistingLines(paths.strIdxFile)) {
        const auto fields = SplitTabs(line);
        for (std::size_t i = 1; i < fields.size(); ++i) {
            if (const auto block = ParseBlockNumber(fields[i])) {
                listed.push_back(*block);
            }
        }
    }
    // Each block once, in file order.
    std::sort(listed.begin(), listed.end());
    listed.erase(std::unique(listed.begin(), listed.end()), listed.end());
    BlockMap map;
    const auto blocks = static_cast<std::size_t>(itmSize / kBlock);
    map.header.assign(blocks, false);
    map.data.assign(blocks, false);
    map.damaged.assign(blocks, false);
    ItemReader reader(paths.strItmFile);
    for (const BlockNumber block : listed) {
        RecordHeader header;
        try {
            header = reader.ReadHeader(block);
        } catch (const StorageError&) {
            // Unreadable under any key; a group load leaves it out too.
            ++map.result.skipped;
            if (block >= 1 && static_cast<std::size_t>(block) <= blocks) {
                map.damaged[static_cast<std::size_t>(block) - 1] = true;
            }
            continue;
        }
        const auto first = static_cast<std::size_t>(block) - 1;
        map.header[first] = true;
        for (std::size_t i = first + 1; i < first + static_cast<std::size_t>(header.count); ++i) {
            map.data[i] = true;
        }
        ++map.result.reenciphered;
    }
    for (std::size_t i = 0; i < blocks; ++i) {
        if (map.header[i] && map.data[i]) {
            throw StorageError(paths.strItmFile,
                               "レコードが重なっているためパスワードを変更できません",
                               static_cast<std::int64_t>(i + 1));
        }
    }
    return map;
}

// One 16-byte unit from under the old key to under the new one.
void Reencipher(std::uint8_t* unit, const Cipher& from, const Cipher& to) {
    std::array<std::uint8_t, kBlock> plain;
    std::copy_n(unit, kBlock, plain.begin());
    from.Decrypt(plain);
    to.Encrypt(plain);
    std::copy(plain.begin(), plain.end(), unit);
    SecureWipe(plain.data(), plain.size());
}

// Reads the staged file back and checks every block against the original: data
// blocks must decipher to the same plaintext, the other named blocks must be
// identical and all the rest zero.
void Verify(const std::filesystem::path& staged, const std::vector<std::uint8_t>& original,
            const BlockMap& map, const Cipher& oldCipher, const Cipher& newCipher,
            const MasterPasswordChange::Progress& progress) {
    const auto written = durable::ReadAll(staged);
    bool same = written.size() == original.size();
    std::array<std::uint8_t, kBlock> before;
    std::array<std::uint8_t, kBlock> after;
    for (std::size_t at = 0; same && at < original.size(); at += kBlock) {
        const std::size_t length = std::min(kBlock, original.size() - at);
        std::copy_n(original.begin() + static_cast<std::ptrdiff_t>(at), length, before.begin());
        std::copy_n(written.begin() + static_cast<std::ptrdiff_t>(at), length, after.begin());
        const std::size_t block = at / kBlock;
        if (progress && block % kReportEvery == 0) {
            progress(map.data.size() + block, 2 * map.data.size());
        }
        const bool whole = length == kBlock && block < map.data.size();
        if (whole && map.data[block]) {
            oldCipher.Decrypt(before);
            newCipher.Decrypt(after);
        } else if (!whole || !map.Named(block)) {
            before.fill(0);
        }
        same = std::equal(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(length),
                          after.begin());
    }
    SecureWipe(before.data(), before.size());
    SecureWipe(after.data(), after.size());
    if (!same) {
        throw StorageError(staged, "再暗号化したファイルの検証に失敗しました");
    }
}

void StageItemFile(const DataPaths& paths, const Cipher& oldCipher, const Cipher& newCipher,
                   MasterPasswordChange::Result& result,
                   const MasterPasswordChange::Progress& progress) {
    const auto original = durable::ReadAll(paths.strItmFile);
    const BlockMap map = MapListedRecords(paths, original.size());
    result = map.result;
    auto changed = original;
    for (std::size_t block = 0; block < map.data.size(); ++block) {
        if (progress && block % kReportEvery == 0) {
            progress(block, 2 * map.data.size());
        }
        if (map.data[block]) {
            Reencipher(changed.data() + block * kBlock, oldCipher, newCipher);
        } else if (!map.Named(block)) {
            // Freed records of old versions, records an interruption left unlisted:
            // nothing may keep them readable under the old password.
            std::fill_n(changed.begin() + static_cast<std::ptrdiff_t>(block * kBlock), kBlock, 0);
        }
    }
    // A piece of a block at the end is no record at all.
    std::fill(changed.begin() + static_cast<std::ptrdiff_t>(map.data.size() * kBlock),
              changed.end(), 0);
    const auto staged = VaultJournal::StagedPath(paths.strItmFile);
    durable::WriteNew(staged, changed);
    Verify(staged, original, map, oldCipher, newCipher, progress);
    if (progress) {
        progress(2 * map.data.size(), 2 * map.data.size());
    }
}

void StageSettings(const DataPaths& paths, std::span<const std::uint8_t> newKeyBytes) {
    const auto staged = VaultJournal::StagedPath(paths.strIniFile);
    durable::WriteNew(staged, durable::ReadAll(paths.strIniFile));
    const std::string check = CheckValueText(CheckBlock(newKeyBytes).span());
    durable::Step("settings");
    WriteSetting(staged, settings::kSection, settings::kPass.name, check);
    if (ReadSetting(staged, settings::kSection, settings::kPass.name, "") != check) {
        throw StorageError(staged, "新しいパスワードの検査値を保存できません");
    }
}

}  // namespace

MasterPasswordChange::Result MasterPasswordChange::ReencryptAll(
    const DataPaths& paths, std::span<const std::uint8_t> oldKeyBytes,
    std::span<const std::uint8_t> newKeyBytes, const Progress& progress) {
    VaultJournal journal(paths);
    const Cipher oldCipher(oldKeyBytes);
    const Cipher newCipher(newKeyBytes);
    Result result;
    // An earlier change that failed while being installed is finished first.
    if (journal.Pending()) {
        journal.Complete();
    }
    journal.DiscardStaged();
    try {
        StageItemFile(paths, oldCipher, newCipher, result, progress);
        StageSettings(paths, newKeyBytes);
        journal.Commit(VaultJournal::Kind::kPasswordChange, {paths.strIniFile, paths.strItmFile});
    } catch (...) {
        if (!journal.Pending()) {
            try {
                journal.DiscardStaged();
            } catch (...) {
                // Left for the next start-up; the vault is the old one either way.
            }
        }
        throw;
    }
    return result;
}

}  // namespace zorvan
