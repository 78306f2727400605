#pragma once

#include <filesystem>

namespace zorvan {

// Where the vault lives: four files and the backup folder in one data folder.
struct DataPaths {
    std::filesystem::path strIniFile;       // settings
    std::filesystem::path strIdxFile;       // group index
    std::filesystem::path strItmFile;       // item records, 16-byte blocks
    std::filesystem::path strBmpFile;       // block bitmap of the item file
    std::filesystem::path strBackupFolder;  // backup snapshots
    // The protected format: the whole vault sealed in one file, and its backups.
    std::filesystem::path strSealedFile;
    std::filesystem::path strSealedBackupFolder;

    static DataPaths InFolder(const std::filesystem::path& folder);
};

// Sets the paths for the folder and creates what is missing: the folder itself
// with its parents, the files (empty) and the backup folder. The files and both
// folders are then made the user's alone (POSIX modes 0600 and 0700). Throws
// StorageError when something cannot be created.
DataPaths InitDataFiles(const std::filesystem::path& folder);

}  // namespace zorvan
