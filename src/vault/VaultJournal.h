#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "vault/DataFiles.h"

namespace zorvan {

// Replaces several vault files as one step. The new contents are first written
// beside their targets as staged files ("Zorvan.itm.new") and forced to disk; then
// a small journal ("Zorvan.jnl") naming each staged file with its size and CRC-32
// is put in place by a rename. That rename is the commit point:
//  - without a journal, the vault is the old one and staged files are leftovers;
//  - with a journal, the vault is the new one, and whatever staged file is still
//    waiting is renamed over its target before anything reads the vault.
// Every rename replaces a whole file at once, so each vault file is at all times
// either entirely old or entirely new, and the journal says which state counts.
class VaultJournal {
public:
    enum class Kind { kPasswordChange, kRestore, kUpgrade };
    enum class Recovery {
        kNothing,    // no change was under way
        kDiscarded,  // an uncommitted change was dropped; the old vault stands
        kCompleted,  // a committed change was finished; the new vault stands
    };

    struct Entry {
        std::string name;  // file name of the target, in the vault's folder
        std::uint64_t size = 0;
        std::uint32_t crc = 0;
    };

    explicit VaultJournal(DataPaths paths);

    // Where the next content of a vault file is prepared.
    static std::filesystem::path StagedPath(const std::filesystem::path& target);

    const std::filesystem::path& file() const noexcept { return journal_; }
    // A committed change has not been completed yet.
    bool Pending() const;

    // Removes what an uncommitted change left behind. Refuses while a committed
    // change is pending. True when something was removed.
    bool DiscardStaged() const;

    // Records the staged files of targets (each must exist) in the journal, which
    // commits them, and installs them. Throws StorageError; once the journal is in
    // place the change counts as made even if installing fails (Recover finishes it).
    void Commit(Kind kind, const std::vector<std::filesystem::path>& targets);

    // Installs every staged file a committed journal still waits for, after checking
    // it against the journal, then removes the journal. Running it again after an
    // interruption is safe.
    void Complete();

    // Finishes or drops an interrupted change. Run at start-up before anything reads
    // the vault. Throws StorageError when the journal or a file it names is damaged;
    // then nothing is touched.
    Recovery Recover();

    struct Contents {
        Kind kind = Kind::kPasswordChange;
        std::vector<Entry> entries;
    };
    // What a pending journal records. Throws StorageError when it is damaged or names
    // a file that is not one of the vault's four.
    Contents Read() const;

private:
    std::filesystem::path Target(const std::string& name) const;

    DataPaths paths_;
    std::filesystem::path folder_;
    std::filesystem::path journal_;
};

// The start-up recovery: finishes or drops a password change or restore that was
// interrupted, and removes unfinished backup files and the temporaries of settings
// and index rewrites that were cut short. Call it once the program holds
// the data folder and before anything reads the vault.
VaultJournal::Recovery RecoverInterruptedChange(const DataPaths& paths);

}  // namespace zorvan
