#include "vault/DataFiles.h"

#include "platform/BinaryFile.h"
#include "platform/FileAccess.h"

namespace zorvan {

DataPaths DataPaths::InFolder(const std::filesystem::path& folder) {
    return DataPaths{
        folder / "Zorvan.ini",       folder / "Zorvan.idx", folder / "Zorvan.itm",
        folder / "Zorvan.bmp",       folder / "backup",     folder / "Zorvan.zvx",
        folder / "backup-protected",
    };
}

DataPaths InitDataFiles(const std::filesystem::path& folder) {
    DataPaths paths = DataPaths::InFolder(folder);
    CreatePrivateFolders(folder);
    const std::filesystem::path* files[] = {&paths.strIniFile, &paths.strIdxFile, &paths.strItmFile,
                                            &paths.strBmpFile};
    // A protected vault needs only its settings beside its own file.
    const bool sealed = std::filesystem::exists(paths.strSealedFile);
    for (const auto* file : files) {
        if (!sealed || file == files[0]) {
            BinaryFile::CreateIfMissing(*file);
        }
    }
    CreatePrivateFolders(paths.strBackupFolder);
    // Files copied in, or made by an earlier version, keep whatever mode they came
    // with until here. One that cannot be changed still works as it is.
    for (const auto* file : files) {
        if (std::filesystem::exists(*file)) {
            RestrictToOwner(*file);
        }
    }
    if (sealed) {
        RestrictToOwner(paths.strSealedFile);
    }
    RestrictToOwner(folder);
    RestrictToOwner(paths.strBackupFolder);
    return paths;
}

}  // namespace zorvan
