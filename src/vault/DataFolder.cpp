#include "vault/DataFolder.h"

#include <cstdlib>
#include <system_error>

#include "platform/ProgramFolder.h"
#include "platform/StorageError.h"

namespace zorvan {

namespace {
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}
}  // namespace

std::filesystem::path ChooseDataFolder(const DataFolderSources& sources) {
    if (!sources.overrideFolder.empty()) {
        return Utf8ToPath(sources.overrideFolder);
    }
    if (sources.windows) {
        return sources.programFolder;
    }
    std::error_code error;
    if (std::filesystem::is_regular_file(sources.programFolder / "Zorvan.ini", error) &&
        CanWriteIn(sources.programFolder)) {
        return sources.programFolder;
    }
    // XDG_DATA_HOME counts only when it is absolute, as the XDG base directory rules say.
    const std::filesystem::path xdg = Utf8ToPath(sources.xdgDataHome);
    if (xdg.is_absolute()) {
        return xdg / "zorvan";
    }
    if (!sources.home.empty()) {
        return Utf8ToPath(sources.home) / ".local" / "share" / "zorvan";
    }
    return sources.programFolder;
}

DataFolderSources CurrentDataFolderSources() {
    DataFolderSources sources;
    sources.overrideFolder = Environment("ZORVAN_DATA_DIR");
    sources.programFolder = ProgramFolder();
    sources.xdgDataHome = Environment("XDG_DATA_HOME");
    sources.home = Environment("HOME");
#ifdef _WIN32
    sources.windows = true;
#endif
    return sources;
}

}  // namespace zorvan
