#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "vault/BlockNumber.h"
#include "vault/DataFiles.h"
#include "vault/Vault.h"

namespace zorvan {

struct ItemRecord;

// What an import or export asks of its caller and tells it while it runs.
struct CsvHooks {
    // The overwrite question, its whole text; true for Yes. Without it the answer is No.
    std::function<bool(const std::string& question)> askOverwrite;
    // done of total lines (import) or items (export) handled so far.
    std::function<void(std::size_t done, std::size_t total)> progress;
    // One imported item as stored and its block, in file order, once the index names it.
    std::function<void(const ItemRecord& item, BlockNumber block)> itemImported;
};

// Moves the items of one group between the vault and a CSV file (code page 932,
// CR LF, seven fields per line). Every failure is caught: the operations answer
// false and keep the reason in lastError(). Nothing is held between calls.
class CsvEngine {
public:
    // The vault must be open: items are enciphered and deciphered with its key.
    explicit CsvEngine(Vault& vault) : vault_(vault), paths_(vault.paths()) {}

    // Whether the index has a group of exactly this name; never for an empty name.
    bool GroupExists(std::string_view groupName) const;

    // The index's rule for group names (IsValidGroupName in vault/GroupIndex.h).
    static bool IsValidGroupName(std::string_view groupName);

    // Writes every item of the group, in its stored order, one line each. With
    // confirm set, an existing file is first asked about (No ends it untouched);
    // append adds the lines at its end instead of replacing it. The items are all
    // read before the file is touched, so a damaged record leaves the file as it was.
    bool ExportCsv(const std::filesystem::path& file, std::string_view groupName, bool confirm,
                   bool append, const CsvHooks& hooks = {});

    // Stores each line of the file as a new item at the front of the group, creating
    // the group's line when needed; the group ends up listing the lines in reverse.
    // A file that is not valid code page 932 is refused before anything is stored.
    // After a storage failure the items stored before it stay in the group.
    bool ImportCsv(const std::filesystem::path& file, std::string_view groupName,
                   const CsvHooks& hooks = {});

    const std::string& lastError() const noexcept { return lastError_; }

private:
    bool Export(const std::filesystem::path& file, std::string_view groupName, bool confirm,
                bool append, const CsvHooks& hooks);
    bool Import(const std::filesystem::path& file, std::string_view groupName,
                const CsvHooks& hooks);
    bool Refuse(std::string reason);
    bool IsVaultFile(const std::filesystem::path& file) const;

    Vault& vault_;
    DataPaths paths_;
    std::string lastError_;
};

}  // namespace zorvan
