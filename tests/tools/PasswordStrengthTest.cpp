#include "tools/PasswordStrength.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace zorvan {
namespace {

using Level = PasswordStrength::Level;

TEST(PasswordStrengthTest, BitsMapToZxcvbnScoresAndAQuarterOfTheBarEach) {
    const struct {
        double bits;
        Level level;
        int bar;
    } cases[] = {
        {std::numeric_limits<double>::quiet_NaN(), Level::kWeak, 0},
        {-1, Level::kWeak, 0},
        {0, Level::kWeak, 0},
        {9.97, Level::kWeak, 13},  // 10^3 guesses: score 0 to 1 is still weak
        {19.93, Level::kWeak, 25},
        {19.94, Level::kFair, 25},  // 10^6 guesses
        {26.57, Level::kFair, 50},
        {26.58, Level::kStrong, 50},  // 10^8
        {33.21, Level::kStrong, 75},
        {33.22, Level::kVeryStrong, 75},  // 10^10
        {49.83, Level::kVeryStrong, 88},
        {66.44, Level::kVeryStrong, 100},
        {500, Level::kVeryStrong, 100},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PasswordStrength::LevelOf(c.bits), c.level) << c.bits;
        EXPECT_EQ(PasswordStrength::BarOf(c.bits), c.bar) << c.bits;
    }
    // The meter's word must rise with the level; a swap would praise a weak password.
    EXPECT_EQ(PasswordStrength::Label(Level::kWeak), "弱い");
    EXPECT_EQ(PasswordStrength::Label(Level::kFair), "普通");
    EXPECT_EQ(PasswordStrength::Label(Level::kStrong), "強い");
    EXPECT_EQ(PasswordStrength::Label(Level::kVeryStrong), "とても強い");
}

TEST(PasswordStrengthTest, ClassBitsCountTheClassesUsedTimesTheLength) {
    const struct {
        std::string password;
        double bits;
    } cases[] = {
        {"", 0},
        {"abc", 3 * std::log2(26)},
        {"aB3", 3 * std::log2(62)},
        {"aB3!", 4 * std::log2(94)},
        {"パス1", 3 * std::log2(110)},  // characters, not bytes
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(PasswordStrength::ClassBits(c.password), c.bits, 1e-9) << c.password;
    }
}

TEST(PasswordStrengthTest, MeasureRatesCommonPasswordsWeakAndRandomOnesVeryStrong) {
    const struct {
        std::string password;
        Level level;
    } cases[] = {
        {"", Level::kWeak},
        {"1234", Level::kWeak},
        {"x7#Kq9!vLm2$Wp4@", Level::kVeryStrong},
    };
    for (const auto& c : cases) {
        const auto result = PasswordStrength::Measure(c.password);
        EXPECT_EQ(result.level, c.level) << c.password;
        EXPECT_EQ(result.bar, PasswordStrength::BarOf(result.bits)) << c.password;
    }
    if (PasswordStrength::UsesZxcvbn()) {
        // What the library adds: dictionary words and keyboard runs count for little.
        for (const char* common : {"password", "Password1", "qwertyuiop", "iloveyou"}) {
            EXPECT_EQ(PasswordStrength::Measure(common).level, Level::kWeak) << common;
        }
    }
}

}  // namespace
}  // namespace zorvan
