#include "vault/VaultJournal.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/StorageError.h"
#include "vault/BackupFile.h"
#include "vault/Crc32.h"
#include "vault/DurableFiles.h"

namespace zorvan {

namespace {

constexpr std::string_view kMagic = "ZorvanJournal\t1";
constexpr std::string_view kJournalName = "Zorvan.jnl";
constexpr std::string_view kStagedSuffix = ".new";

std::string_view KindName(VaultJournal::Kind kind) {
    switch (kind) {
        case VaultJournal::Kind::kRestore:
            return "restore";
        case VaultJournal::Kind::kUpgrade:
            return "upgrade";
        case VaultJournal::Kind::kPasswordChange:
            break;
    }
    return "password-change";
}

std::string Hex8(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& out, int base) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

bool Exists(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::exists(file, error);
}

bool Matches(const std::filesystem::path& file, const VaultJournal::Entry& entry) {
    const auto bytes = durable::ReadAll(file);
    return bytes.size() == entry.size && Crc32::Of(bytes) == entry.crc;
}

[[noreturn]] void Damaged(const std::filesystem::path& journal, const std::string& why) {
    throw StorageError(journal, "変更記録が壊れています (" + why + ")");
}

}  // namespace

VaultJournal::VaultJournal(DataPaths paths)
    : paths_(std::move(paths)),
      folder_(paths_.strIniFile.parent_path()),
      journal_(folder_ / kJournalName) {}

std::filesystem::path VaultJournal::StagedPath(const std::filesystem::path& target) {
    std::filesystem::path staged = target;
    staged += kStagedSuffix;
    return staged;
}

bool VaultJournal::Pending() const {
    return Exists(journal_);
}

std::filesystem::path VaultJournal::Target(const std::string& name) const {
    for (const auto* file : {&paths_.strIniFile, &paths_.strIdxFile, &paths_.strItmFile,
                             &paths_.strBmpFile, &paths_.strSealedFile}) {
        if (PathToUtf8(file->filename()) == name) {
            return *file;
        }
    }
    Damaged(journal_, "データファイルではない名前 " + name);
}

bool VaultJournal::DiscardStaged() const {
    if (Pending()) {
        throw StorageError(journal_, "完了していない変更があります");
    }
    // The staged files, the journal's own, and the temporaries a settings rewrite of
    // the staged settings file leaves when it is cut short (".name.XXXXXX", "name.N.tmp").
    std::vector<std::string> prefixes;
    bool removed = false;
    for (const auto* file : {&paths_.strIniFile, &paths_.strIdxFile, &paths_.strItmFile,
                             &paths_.strBmpFile, &paths_.strSealedFile, &journal_}) {
        const auto staged = StagedPath(*file);
        removed = durable::RemoveIfPresent(staged) || removed;
        const std::string name = PathToUtf8(staged.filename());
        prefixes.push_back("." + name + ".");
        prefixes.push_back(name + ".");
    }
    std::error_code error;
    std::vector<std::filesystem::path> leftovers;
    for (std::filesystem::directory_iterator it(folder_, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = PathToUtf8(it->path().filename());
        for (const auto& prefix : prefixes) {
            if (name.starts_with(prefix)) {
                leftovers.push_back(it->path());
                break;
            }
        }
    }
    for (const auto& file : leftovers) {
        removed = durable::RemoveIfPresent(file) || removed;
    }
    return removed;
}

void VaultJournal::Commit(Kind kind, const std::vector<std::filesystem::path>& targets) {
    if (Pending()) {
        throw StorageError(journal_, "完了していない変更があります");
    }
    std::string text(kMagic);
    text += "\nkind\t";
    text += KindName(kind);
    text += '\n';
    for (const auto& target : targets) {
        const std::string name = PathToUtf8(target.filename());
        Target(name);  // only the vault's own files
        const auto bytes = durable::ReadAll(StagedPath(target));
        text += "file\t" + name + "\t" + std::to_string(bytes.size()) + "\t" +
                Hex8(Crc32::Of(bytes)) + "\n";
    }
    text += "end\t" +
            Hex8(Crc32::Of({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()})) +
            "\n";

    // The staged files' names must be on the disk before a journal names them.
    durable::SyncFolder(folder_);
    const auto staged = StagedPath(journal_);
    durable::WriteNew(staged, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    durable::Replace(staged, journal_);  // the commit point
    Complete();
}

VaultJournal::Contents VaultJournal::Read() const {
    const auto bytes = durable::ReadAll(journal_);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const auto endLine = text.rfind("end\t");
    if (endLine == std::string_view::npos || endLine == 0 || text[endLine - 1] != '\n' ||
        !text.ends_with('\n')) {
        Damaged(journal_, "終わりがありません");
    }
    std::uint32_t crc = 0;
    const auto crcText = text.substr(endLine + 4, text.size() - endLine - 5);
    if (!ParseNumber(crcText, crc, 16) || crc != Crc32::Of(std::span(bytes).first(endLine))) {
        Damaged(journal_, "検査値が合いません");
    }
    const auto lines = Split(text.substr(0, endLine - 1), '\n');
    if (lines.size() < 2 || lines[0] != kMagic) {
        Damaged(journal_, "形式が違います");
    }
    Contents contents;
    if (lines[1] == "kind\trestore") {
        contents.kind = Kind::kRestore;
    } else if (lines[1] == "kind\tupgrade") {
        contents.kind = Kind::kUpgrade;
    } else if (lines[1] != "kind\tpassword-change") {
        Damaged(journal_, "種類が不明です");
    }
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const auto fields = Split(lines[i], '\t');
        Entry entry;
        if (fields.size() != 4 || fields[0] != "file" || !ParseNumber(fields[2], entry.size, 10) ||
            !ParseNumber(fields[3], entry.crc, 16)) {
            Damaged(journal_, "行 " + std::to_string(i + 1));
        }
        entry.name = std::string(fields[1]);
        Target(entry.name);
        contents.entries.push_back(std::move(entry));
    }
    return contents;
}

void VaultJournal::Complete() {
    const Contents contents = Read();
    // Everything is checked before the first rename, so a damaged file stops the
    // recovery with the files as they were.
    for (const auto& entry : contents.entries) {
        const auto target = Target(entry.name);
        const auto staged = StagedPath(target);
        if (Exists(staged) ? !Matches(staged, entry) : !Matches(target, entry)) {
            throw StorageError(Exists(staged) ? staged : target,
                               "変更を完了できません: ファイルが変更記録と合いません");
        }
    }
    for (const auto& entry : contents.entries) {
        const auto target = Target(entry.name);
        const auto staged = StagedPath(target);
        if (Exists(staged)) {
            durable::Replace(staged, target);
        }
    }
    durable::RemoveIfPresent(journal_);
}

VaultJournal::Recovery VaultJournal::Recover() {
    if (Pending()) {
        Complete();
        return Recovery::kCompleted;
    }
    return DiscardStaged() ? Recovery::kDiscarded : Recovery::kNothing;
}

VaultJournal::Recovery RecoverInterruptedChange(const DataPaths& paths) {
    const auto result = VaultJournal(paths).Recover();
    BackupFile::RemoveUnfinished(paths.strBackupFolder);
    // A settings or index rewrite cut short leaves its temporary file behind.
    for (const auto* file : {&paths.strIniFile, &paths.strIdxFile, &paths.strItmFile,
                             &paths.strBmpFile, &paths.strSealedFile}) {
        RemoveLeftoverTemporaries(*file);
    }
    return result;
}

}  // namespace zorvan
