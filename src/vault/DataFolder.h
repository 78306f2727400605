#pragma once

#include <filesystem>
#include <string>

namespace zorvan {

// What decides where the vault lives.
struct DataFolderSources {
    std::string overrideFolder;  // ZORVAN_DATA_DIR, empty when unset
    std::filesystem::path programFolder;
    std::string xdgDataHome;  // XDG_DATA_HOME, empty when unset
    std::string home;         // HOME, empty when unset
    bool windows = false;
};

// The data folder: the override when given; on Windows the program's own folder;
// elsewhere the program's own folder when it already holds a vault and can be
// written, else "zorvan" in the user's data folder, so that a program folder under
// /usr or a build tree never holds the passwords.
std::filesystem::path ChooseDataFolder(const DataFolderSources& sources);

// The sources of the running program, from its environment.
DataFolderSources CurrentDataFolderSources();

}  // namespace zorvan
