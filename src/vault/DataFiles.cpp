#include "vault/DataFiles.h"

#include "platform/BinaryFile.h"
#include "platform/FileAccess.h"

namespace zorvan {

DataPaths DataPaths::InFolder(const std::filesystem::path& folder) {
    return DataPaths{
        folder / "Zorvan.ini", folder / "Zorvan.idx", folder / "Zorvan.itm",
        folder / "Zorvan.bmp", folder / "backup",
    };
}

DataPaths InitDataFiles(const std::filesystem::path& folder) {
    DataPaths paths = DataPaths::InFolder(folder);
    CreatePrivateFolders(folder);
    const std::filesystem::path* files[] = {&paths.strIniFile, &paths.strIdxFile, &paths.strItmFile,
                                            &paths.strBmpFile};
    for (const auto* file : files) {
        BinaryFile::CreateIfMissing(*file);
    }
    CreatePrivateFolders(paths.strBackupFolder);
    // Files copied in, or made by an earlier version, keep whatever mode they came
    // with until here. One that cannot be changed still works as it is.
    for (const auto* file : files) {
        RestrictToOwner(*file);
    }
    RestrictToOwner(folder);
    RestrictToOwner(paths.strBackupFolder);
    return paths;
}

}  // namespace zorvan
