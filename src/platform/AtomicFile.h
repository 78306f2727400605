#pragma once

#include <filesystem>
#include <string_view>

#include "platform/FileAccess.h"

namespace zorvan {

// Replaces the file's whole content so that a crash at any moment leaves either
// the old or the new content: a temporary file in the same folder is written,
// forced to disk and renamed over the target. The new file gets access, whatever
// the old one had. Throws StorageError.
void ReplaceFileAtomically(const std::filesystem::path& target, std::string_view content,
                           FileAccess access = FileAccess::kOwnerOnly);

// Removes the temporary files that replacements of target cut short by a crash
// left beside it. Only for a folder no other process writes to. Returns how many
// were removed; a file that cannot be removed is left for the next time.
int RemoveLeftoverTemporaries(const std::filesystem::path& target);

// Renames from over to, replacing it in one step (on Windows with write-through,
// waiting briefly for scanners that hold the file). Throws StorageError naming to.
void RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace zorvan
