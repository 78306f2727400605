#include <gtest/gtest.h>

#include "platform/StorageError.h"
#include "support/TempDir.h"
#include "vault/TextFile.h"

namespace zorvan {
namespace {

using Lines = std::vector<std::string>;

TEST(TextFile, AppendLineJoinsWithCrLfAndDropsLeadingEmptyLines) {
    EXPECT_EQ(textfile::AppendLine("", "a"), "a");
    EXPECT_EQ(textfile::AppendLine("a", "b"), "a\r\nb");
    EXPECT_EQ(textfile::AppendLine("", ""), "");
    EXPECT_EQ(textfile::AppendLine("a", ""), "a\r\n");
    EXPECT_EQ(textfile::JoinLines({"", "", "x", "", "y"}), "x\r\n\r\ny");
}

TEST(TextFile, SplitsAtCrLfLoneCrAndLoneLf) {
    EXPECT_EQ(textfile::SplitLines(""), Lines{});
    EXPECT_EQ(textfile::SplitLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(textfile::SplitLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(textfile::SplitLines("a\rb\nc\r\n\r\nd"), (Lines{"a", "b", "c", "", "d"}));
    EXPECT_EQ(textfile::SplitLines("\n\n"), (Lines{"", ""}));
}

TEST(TextFile, ReadingCreatesAMissingFileButReadingAnExistingOneDoesNot) {
    test::TempDir dir;
    EXPECT_EQ(textfile::ReadLines(dir / "new.ini"), Lines{});
    EXPECT_TRUE(textfile::FileExists(dir / "new.ini"));
    EXPECT_THROW(textfile::ReadExistingLines(dir / "import.csv"), StorageError);
    EXPECT_FALSE(textfile::FileExists(dir / "import.csv"));
}

TEST(TextFile, RewriteStoresCp932AndReadsItBack) {
    test::TempDir dir;
    const auto file = dir / "Zorvan.idx";
    textfile::Rewrite(file, "銀行#1\t11\r\nWeb#0");
    EXPECT_EQ(test::ReadBytes(file), "\x8B\xE2\x8D\x73#1\t11\r\nWeb#0");
    EXPECT_EQ(textfile::ReadLines(file), (Lines{"銀行#1\t11", "Web#0"}));
}

TEST(TextFile, FoldersAndListings) {
    test::TempDir dir;
    const auto folder = dir / "backup";
    EXPECT_FALSE(textfile::FolderExists(folder));
    textfile::CreateFolder(folder);
    EXPECT_TRUE(textfile::FolderExists(folder));
    test::WriteBytes(folder / "20030405-134507", "x");
    EXPECT_EQ(textfile::ListFileNames(folder), Lines{"20030405-134507"});
    textfile::DeleteFile(folder / "20030405-134507");
    EXPECT_EQ(textfile::ListFileNames(folder), Lines{});
    EXPECT_THROW(textfile::DeleteFile(folder / "gone"), StorageError);
}

}  // namespace
}  // namespace zorvan
