#include "vault/BackupRestore.h"

#include <algorithm>
#include <vector>

#include "platform/StorageError.h"
#include "vault/BackupFile.h"
#include "vault/DurableFiles.h"
#include "vault/VaultJournal.h"

namespace zorvan {

void BackupRestore::Restore(const DataPaths& paths, const std::filesystem::path& backupFile,
                            const Progress& progress) {
    constexpr int kSteps = 6;
    int step = 0;
    const auto stepDone = [&] {
        if (progress) {
            progress(++step, kSteps);
        }
    };
    VaultJournal journal(paths);
    // An earlier change that failed while being installed is finished first.
    if (journal.Pending()) {
        journal.Complete();
    }
    journal.DiscardStaged();

    // One read, and every check made on what was read, so a backup changing
    // under us cannot slip past them.
    const auto bytes = durable::ReadAll(backupFile);
    if (bytes.size() < BackupFile::kHeaderSize) {
        throw StorageError(backupFile, "バックアップファイルが短すぎます");
    }
    const BackupHeader header =
        BackupFile::DecodeHeader(std::span(bytes).first<BackupFile::kHeaderSize>());
    BackupFile::CheckLengths(header, bytes.size(), backupFile);
    stepDone();

    // The copies follow in the order bitmap, index, settings, item file.
    struct Part {
        const std::filesystem::path* target;
        std::int32_t length;
    };
    const Part parts[] = {{&paths.strBmpFile, header.bmpLength},
                          {&paths.strIdxFile, header.idxLength},
                          {&paths.strIniFile, header.iniLength},
                          {&paths.strItmFile, header.itmLength}};
    std::vector<std::filesystem::path> targets;
    try {
        std::size_t at = BackupFile::kHeaderSize;
        for (const Part& part : parts) {
            const auto copy = std::span(bytes).subspan(at, static_cast<std::size_t>(part.length));
            const auto staged = VaultJournal::StagedPath(*part.target);
            durable::WriteNew(staged, copy);
            const auto written = durable::ReadAll(staged);
            if (!std::equal(written.begin(), written.end(), copy.begin(), copy.end())) {
                throw StorageError(staged, "書き込んだ内容が一致しません");
            }
            targets.push_back(*part.target);
            at += copy.size();
            stepDone();
        }
        journal.Commit(VaultJournal::Kind::kRestore, targets);
    } catch (...) {
        // Before the commit point the staged copies are mere leftovers; after it they
        // are the restored vault, which the next start-up finishes installing.
        if (!journal.Pending()) {
            try {
                journal.DiscardStaged();
            } catch (...) {
                // Left for the next start-up to remove; the vault is untouched either way.
            }
        }
        throw;
    }
    stepDone();
}

}  // namespace zorvan
