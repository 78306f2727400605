#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "support/Golden.h"
#include "support/TempDir.h"
#include "vault/OleDate.h"

namespace zorvan {
namespace {

TEST(OleDateTest, GoldenBackupMomentHasTheStoredBits) {
    const std::string golden = test::ReadBytes(test::DataDir() / "20030405-134507");
    double stored = 0;
    std::memcpy(&stored, golden.data() + 32, 8);
    EXPECT_EQ(OleDate::FromParts({2003, 4, 5, 13, 45, 7}), stored);
    EXPECT_EQ(OleDate::ToParts(stored), (DateTimeParts{2003, 4, 5, 13, 45, 7}));
}

TEST(OleDateTest, DaysCountFromTheEndOf1899) {
    EXPECT_EQ(OleDate::FromParts({1899, 12, 30, 0, 0, 0}), 0.0);
    EXPECT_EQ(OleDate::FromParts({1900, 1, 1, 12, 0, 0}), 2.5);
    EXPECT_EQ(OleDate::FromParts({2099, 12, 31, 0, 0, 0}), 73050.0);
    EXPECT_EQ(OleDate::ToParts(37716.0), (DateTimeParts{2003, 4, 5, 0, 0, 0}));
}

TEST(OleDateTest, BeforeTheEpochTheFractionStillCountsFromMidnight) {
    EXPECT_EQ(OleDate::FromParts({1899, 12, 29, 6, 0, 0}), -1.25);
    EXPECT_EQ(OleDate::ToParts(-1.25), (DateTimeParts{1899, 12, 29, 6, 0, 0}));
    EXPECT_EQ(OleDate::ToParts(-0.5), (DateTimeParts{1899, 12, 30, 12, 0, 0}));
}

TEST(OleDateTest, TimesRoundToTheNearestSecondAcrossMidnight) {
    EXPECT_EQ(OleDate::ToParts(1.0 - 0.2 / 86400), (DateTimeParts{1899, 12, 31, 0, 0, 0}));
    EXPECT_EQ(OleDate::ToParts(0.4 / 86400), (DateTimeParts{1899, 12, 30, 0, 0, 0}));
    EXPECT_EQ(OleDate::ToParts(-1.0 - (1.0 - 0.2 / 86400)), (DateTimeParts{1899, 12, 30, 0, 0, 0}));
}

TEST(OleDateTest, ValuesOutsideTheYears100To9999AreNoDate) {
    EXPECT_EQ(OleDate::ToParts(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
    EXPECT_EQ(OleDate::ToParts(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(OleDate::ToParts(1e300), std::nullopt);
    EXPECT_EQ(OleDate::ToParts(2958466.0), std::nullopt);
    EXPECT_EQ(OleDate::ToParts(2958465.5), (DateTimeParts{9999, 12, 31, 12, 0, 0}));
    EXPECT_EQ(OleDate::ToParts(-657434.0), (DateTimeParts{100, 1, 1, 0, 0, 0}));
    EXPECT_EQ(OleDate::ToParts(-657435.0), std::nullopt);
}

TEST(OleDateTest, TextsHaveFixedWidthFields) {
    const DateTimeParts parts{2003, 4, 5, 3, 4, 7};
    EXPECT_EQ(OleDate::ListText(parts), "2003/04/05 03:04:07");
    EXPECT_EQ(OleDate::FileName(parts), "20030405-030407");
}

}  // namespace
}  // namespace zorvan
