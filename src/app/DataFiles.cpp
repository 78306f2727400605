#include "app/DataFiles.h"

#include "app/TextFile.h"
#include "platform/BinaryFile.h"

namespace zorvan {

DataPaths DataPaths::InFolder(const std::filesystem::path& folder) {
    return DataPaths{
        folder / "Zorvan.ini", folder / "Zorvan.idx", folder / "Zorvan.itm",
        folder / "Zorvan.bmp", folder / "backup",
    };
}

DataPaths InitDataFiles(const std::filesystem::path& folder) {
    DataPaths paths = DataPaths::InFolder(folder);
    for (const auto* file :
         {&paths.strIniFile, &paths.strIdxFile, &paths.strItmFile, &paths.strBmpFile}) {
        BinaryFile::CreateIfMissing(*file);
    }
    if (!textfile::FolderExists(paths.strBackupFolder)) {
        textfile::CreateFolder(paths.strBackupFolder);
    }
    return paths;
}

}  // namespace zorvan
