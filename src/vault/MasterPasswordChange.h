#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "vault/DataFiles.h"

namespace zorvan {

// Re-enciphers the vault under a new master password as one step. The item file is
// re-enciphered into a staged copy (same block numbers, headers byte for byte
// unchanged, every block no index line names wiped to zeros, whether free or
// left allocated), the copy is read back and checked record by record,
// the settings file is staged with the new check value, and the commit journal
// swaps both in. An interruption at any point leaves a vault that opens with
// exactly one of the two passwords, every item readable under it.
class MasterPasswordChange {
public:
    struct Result {
        int reenciphered = 0;  // records listed in the index and re-enciphered
        int skipped = 0;       // listed records too damaged to read, left as they were
    };

    // done of total units of work so far; called now and then, never between the
    // commit and its end.
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    // Both key bytes are 16 bytes (KeyBytes). After a failure the vault opens with
    // the new password when the change was committed (the journal is pending and the
    // next start-up finishes it), else with the old one. Throws StorageError; a vault with records
    // that overlap (a header inside another record's data) is refused unchanged.
    static Result ReencryptAll(const DataPaths& paths, std::span<const std::uint8_t> oldKeyBytes,
                               std::span<const std::uint8_t> newKeyBytes,
                               const Progress& progress = {});
};

}  // namespace zorvan
