#pragma once

#include <filesystem>
#include <functional>

#include "vault/DataFiles.h"

namespace zorvan {

// Puts a backup's four files in place of the vault's, as one step: the backup is
// checked first, its copies are staged and verified beside the vault, and the
// commit journal swaps them in. An interruption leaves either the old vault or the
// restored one; a backup that cannot be used leaves the vault untouched.
class BackupRestore {
public:
    // Called after each step (the backup read, each copy staged, the commit).
    using Progress = std::function<void(int done, int total)>;

    // Throws StorageError (the vault unchanged unless the journal was committed, in
    // which case the next start-up completes the restore).
    static void Restore(const DataPaths& paths, const std::filesystem::path& backupFile,
                        const Progress& progress = {});
};

}  // namespace zorvan
