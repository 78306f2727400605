#include <gtest/gtest.h>

#include "platform/AtomicFile.h"
#include "platform/StorageError.h"
#include "support/TempDir.h"

namespace zorvan {
namespace {

TEST(AtomicFile, CreatesOrReplacesTheWholeFileAndLeavesNoTemporaryBehind) {
    test::TempDir dir;
    const auto file = dir / "Zorvan.idx";
    ReplaceFileAtomically(file, "first version, rather long");
    ReplaceFileAtomically(file, "second");
    EXPECT_EQ(test::ReadBytes(file), "second");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(AtomicFile, FailureNamesTheFileAndKeepsTheOldContent) {
    test::TempDir dir;
    const auto missing = dir / "no-such-folder" / "Zorvan.ini";
    try {
        ReplaceFileAtomically(missing, "x");
        FAIL() << "no error";
    } catch (const StorageError& error) {
        EXPECT_EQ(error.file(), missing);
        EXPECT_NE(std::string(error.what()).find("Zorvan.ini"), std::string::npos);
    }
}

}  // namespace
}  // namespace zorvan
