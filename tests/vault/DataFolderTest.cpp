#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "vault/DataFolder.h"

namespace zorvan {
namespace {

// Where the vault lives, by what the environment and the program folder say.
TEST(DataFolder, ChoosesTheOverrideThenAVaultBesideTheProgramThenTheUserDataFolder) {
    test::TempDir withVault;
    test::WriteBytes(withVault / "Zorvan.ini", "[Zorvan]");
    test::TempDir empty;
    const struct {
        const char* name;
        std::string overrideFolder;
        std::filesystem::path program;
        std::string xdg;
        std::string home;
        bool windows;
        std::filesystem::path expected;
    } rows[] = {
        {"override wins", "/o", withVault.path(), "/x", "/h", false, "/o"},
        {"override wins on Windows", "/o", empty.path(), "", "", true, "/o"},
        {"Windows keeps the program folder", "", empty.path(), "/x", "/h", true, empty.path()},
        {"a vault beside the program", "", withVault.path(), "/x", "/h", false, withVault.path()},
        {"no vault: XDG data home", "", empty.path(), "/x", "/h", false, "/x/zorvan"},
        {"no XDG: home", "", empty.path(), "", "/h", false, "/h/.local/share/zorvan"},
        {"relative XDG is ignored", "", empty.path(), "x", "/h", false, "/h/.local/share/zorvan"},
        {"nothing known: program folder", "", empty.path(), "", "", false, empty.path()},
    };
    for (const auto& row : rows) {
#ifdef _WIN32
        if (!row.windows) {
            continue;  // POSIX paths mean nothing to a Windows build
        }
#endif
        const DataFolderSources sources{row.overrideFolder, row.program, row.xdg, row.home,
                                        row.windows};
        EXPECT_EQ(ChooseDataFolder(sources), row.expected) << row.name;
    }
}

}  // namespace
}  // namespace zorvan
