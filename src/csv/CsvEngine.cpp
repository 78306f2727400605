#include "csv/CsvEngine.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <vector>

#include "csv/CsvDate.h"
#include "csv/CsvFormat.h"
#include "platform/AtomicFile.h"
#include "platform/BinaryFile.h"
#include "platform/Codepage.h"
#include "platform/FileAccess.h"
#include "platform/SecureWipe.h"
#include "platform/StorageError.h"
#include "platform/WholeFile.h"
#include "tools/Strings.h"
#include "vault/GroupIndex.h"
#include "vault/ItemReader.h"
#include "vault/ItemRecord.h"
#include "vault/TextFile.h"

namespace zorvan {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

// Wipes the strings it watches when it goes out of scope, however that happens.
class WipeOnExit {
public:
    explicit WipeOnExit(std::initializer_list<std::string*> texts) : texts_(texts) {}
    ~WipeOnExit() {
        for (std::string* text : texts_) {
            SecureWipe(*text);
        }
    }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

private:
    std::vector<std::string*> texts_;
};

// A zero byte cannot stand inside a stored text; it is stored as a blank, and so
// shown as one.
void BlankZeros(ItemRecord& item) {
    for (std::string* text : {&item.ItemName, &item.AccountID, &item.AccountPass, &item.RelatedURL,
                              &item.AccountMemo}) {
        std::replace(text->begin(), text->end(), '\0', ' ');
    }
}

}  // namespace

bool CsvEngine::GroupExists(std::string_view groupName) const {
    if (groupName.empty()) {
        return false;
    }
    const auto names = vault_.GroupNames();
    return std::find(names.begin(), names.end(), groupName) != names.end();
}

bool CsvEngine::IsValidGroupName(std::string_view groupName) {
    return ::zorvan::IsValidGroupName(groupName);
}

bool CsvEngine::Refuse(std::string reason) {
    lastError_ = std::move(reason);
    return false;
}

bool CsvEngine::IsVaultFile(const std::filesystem::path& file) const {
    for (const auto* vaultFile : {&paths_.strIniFile, &paths_.strIdxFile, &paths_.strItmFile,
                                  &paths_.strBmpFile, &paths_.strSealedFile}) {
        std::error_code error;
        if (std::filesystem::equivalent(file, *vaultFile, error) && !error) {
            return true;
        }
    }
    return false;
}

bool CsvEngine::ExportCsv(const std::filesystem::path& file, std::string_view groupName,
                          bool confirm, bool append, const CsvHooks& hooks) {
    lastError_.clear();
    try {
        return Export(file, groupName, confirm, append, hooks);
    } catch (const std::exception& error) {
        return Refuse(error.what());
    }
}

bool CsvEngine::ImportCsv(const std::filesystem::path& file, std::string_view groupName,
                          const CsvHooks& hooks) {
    lastError_.clear();
    try {
        return Import(file, groupName, hooks);
    } catch (const std::exception& error) {
        return Refuse(error.what());
    }
}

bool CsvEngine::Export(const std::filesystem::path& file, std::string_view groupName, bool confirm,
                       bool append, const CsvHooks& hooks) {
    if (!GroupExists(groupName)) {
        return Refuse("no such group");
    }
    if (file.empty()) {
        return Refuse("no file name");
    }
    // The vault's own files would be replaced by plain text: the vault would be lost.
    if (IsVaultFile(file)) {
        return Refuse("the file is part of the vault");
    }
    if (confirm && textfile::FileExists(file)) {
        const std::string question = PathToUtf8(file) +
                                     std::string(res::LoadResString(res::kAlreadyExists)) + "\r\n" +
                                     std::string(res::LoadResString(res::kOverwrite));
        if (!hooks.askOverwrite || !hooks.askOverwrite(question)) {
            return Refuse("overwrite declined");
        }
    }

    const auto entry = vault_.GroupEntry(groupName);
    const std::size_t total = entry.empty() ? 0 : entry.size() - 1;
    // Each line is kept in its own buffer and the file content is built at its
    // final size, so no growing buffer leaves copies of the passwords behind.
    std::vector<std::string> lines;
    lines.reserve(total);
    std::string content;
    struct WipeLines {
        std::vector<std::string>& lines;
        std::string& content;
        ~WipeLines() {
            for (auto& line : lines) {
                SecureWipe(line);
            }
            SecureWipe(content);
        }
    } wipe{lines, content};

    if (total > 0) {
        auto reader = vault_.Reader();
        for (std::size_t i = 1; i < entry.size(); ++i) {
            const auto block = ParseBlockNumber(entry[i]);
            if (!block) {
                throw StorageError(paths_.strIdxFile, "ブロック番号が不正です: " + entry[i]);
            }
            const ItemRecord item = reader.Load(*block);
            std::string line = csv::FormatCsvLine(item);
            line += "\r\n";  // FormatCsvLine left room for it
            lines.push_back(codepage::ToAnsi(line));
            SecureWipe(line);
            if (hooks.progress) {
                hooks.progress(i, total);
            }
        }
    }
    std::size_t size = 0;
    for (const auto& line : lines) {
        size += line.size();
    }
    content.reserve(size);
    for (const auto& line : lines) {
        content += line;
    }
    // The file holds every password of the group in plain text, so a new one is the
    // user's alone whatever the umask says; the user may widen it on purpose.
    if (append) {
        BinaryFile out(file, BinaryFile::Mode::kReadWrite, FileAccess::kOwnerOnly);
        out.WriteAt(out.Size(),
                    {reinterpret_cast<const std::uint8_t*>(content.data()), content.size()});
        out.Sync();
    } else {
        ReplaceFileAtomically(file, content, FileAccess::kOwnerOnly);
    }
    return true;
}

bool CsvEngine::Import(const std::filesystem::path& file, std::string_view groupName,
                       const CsvHooks& hooks) {
    if (!textfile::FileExists(file)) {
        return Refuse("no such file");
    }
    if (!IsValidGroupName(groupName)) {
        return Refuse("not a valid group name");
    }
    std::string bytes = ReadWholeFile<std::string>(file);
    std::string text;
    const WipeOnExit wipe{&bytes, &text};
    text = codepage::FromAnsi(bytes);
    SecureWipe(bytes);
    // Bytes that are no code page 932 would be stored as "?": a password would be
    // changed without a word. The file is refused as a whole instead.
    if (text.find(kReplacementCharacter) != std::string::npos) {
        return Refuse("the file is not code page 932 text");
    }
    const auto lines = textfile::SplitLineViews(text);
    if (lines.empty()) {
        return true;
    }

    std::vector<ItemRecord> items;
    items.reserve(lines.size());  // never moved, so no stale copies of passwords
    const double today = csv::TodayAsDays();
    for (const auto line : lines) {
        items.push_back(csv::ParseCsvLine(line, today));
        BlankZeros(items.back());
    }
    // The records are all stored before the group names any of them: a crash leaves
    // the group as it was.
    std::vector<BlockNumber> blocks;
    std::exception_ptr failure;
    try {
        vault_.AddItems(groupName, items, blocks, hooks.progress);
    } catch (...) {
        // The items stored before the failure are in the group.
        failure = std::current_exception();
    }
    if (hooks.itemImported) {
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            hooks.itemImported(items[i], blocks[i]);
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return true;
}

}  // namespace zorvan
