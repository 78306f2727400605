#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/DataFiles.h"
#include "app/SettingsStore.h"
#include "platform/ProgramFolder.h"
#include "platform/StorageError.h"

namespace {
constexpr int kVersionMajor = 0;
constexpr int kVersionMinor = 0;
constexpr int kVersionRevision = 5;
}  // namespace

int main() {
    // ZORVAN_DATA_DIR points the program at another data folder (tests, trying it out).
    const char* override = std::getenv("ZORVAN_DATA_DIR");
    const std::filesystem::path folder = override != nullptr && *override != '\0'
                                             ? zorvan::Utf8ToPath(override)
                                             : zorvan::ProgramFolder();
    try {
        const auto paths = zorvan::InitDataFiles(folder);
        zorvan::SettingsStore(paths.strIniFile)
            .Set(zorvan::settings::kVersion,
                 kVersionMajor * 10000 + kVersionMinor * 100 + kVersionRevision);
        std::printf("Zorvan: data folder ready at %s\n", zorvan::PathToUtf8(folder).c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Zorvan: %s\n", error.what());
        return 1;
    }
    return 0;
}
