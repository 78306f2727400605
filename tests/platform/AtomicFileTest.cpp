#include <gtest/gtest.h>

#include <iterator>
#include <stdexcept>

#include "platform/AtomicFile.h"
#include "platform/FileSteps.h"
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
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
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

TEST(AtomicFile, OnlyTheTemporariesOfCutShortReplacementsCountAsLeftovers) {
    test::TempDir dir;
    const auto file = dir / "Zorvan.idx";
    ReplaceFileAtomically(file, "old");
    std::filesystem::path temp;
    filesteps::SetHook([&](std::string_view step, const std::filesystem::path& at) {
        if (step == "flush") {
            temp = at;
        } else if (step == "rename") {
            throw std::runtime_error("cut short");
        }
    });
    EXPECT_THROW(ReplaceFileAtomically(file, "new"), std::runtime_error);
    filesteps::SetHook(nullptr);
    ASSERT_FALSE(temp.empty());
    EXPECT_FALSE(std::filesystem::exists(temp));  // a failure takes it along
    test::WriteBytes(temp, "new");                // a crash would have left it
    test::WriteBytes(dir / "Zorvan.idx.new", "staged");
    test::WriteBytes(dir / "Zorvan.ini", "settings");
    EXPECT_EQ(RemoveLeftoverTemporaries(file), 1);
    EXPECT_FALSE(std::filesystem::exists(temp));
    EXPECT_EQ(test::ReadBytes(file), "old");
    EXPECT_TRUE(std::filesystem::exists(dir / "Zorvan.idx.new"));
    EXPECT_TRUE(std::filesystem::exists(dir / "Zorvan.ini"));
}

}  // namespace
}  // namespace zorvan
