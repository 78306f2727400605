#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <set>
#include <stdexcept>

#include "platform/RandomSource.h"
#include "tools/PasswordGenerator.h"

namespace zorvan {
namespace {

using Step = PasswordGenerator::Step;

// Hands out scripted values and fails loudly when the script runs out.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::deque<double> values) : values_(std::move(values)) {}
    double NextDouble() override {
        if (values_.empty()) {
            throw std::logic_error("script exhausted");
        }
        const double value = values_.front();
        values_.pop_front();
        return value;
    }
    std::size_t left() const { return values_.size(); }

private:
    std::deque<double> values_;
};

// The largest double below 1, the top of what a source may return.
const double kAlmostOne = std::nextafter(1.0, 0.0);

std::pair<std::string, std::string> Checked(std::string min, std::string max) {
    PasswordGenerator::CheckPassLen(min, max);
    return {min, max};
}

using Texts = std::pair<std::string, std::string>;

TEST(PasswordGeneratorTest, CheckPassLenCorrectsEachBoxAndPushesTheMaximumUp) {
    EXPECT_EQ(Checked("0", "8"), Texts("1", "8"));
    EXPECT_EQ(Checked("-5", "8"), Texts("1", "8"));
    EXPECT_EQ(Checked("abc", "8"), Texts("6", "8"));
    EXPECT_EQ(Checked("", ""), Texts("6", "8"));
    EXPECT_EQ(Checked("6", "xyz"), Texts("6", "8"));
    EXPECT_EQ(Checked("6", "200"), Texts("6", "128"));
    EXPECT_EQ(Checked("10", "8"), Texts("10", "10"));
    // A not-a-number maximum becomes 8 first, then takes the larger minimum.
    EXPECT_EQ(Checked("12", "?"), Texts("12", "12"));
    EXPECT_EQ(Checked("500", "abc"), Texts("128", "128"));
    EXPECT_EQ(Checked("1.5", "1e2"), Texts("6", "8"));  // only plain integers are numbers
    // Numbers beyond the 16-bit range keep their side.
    EXPECT_EQ(Checked("99999999999999999999", "8"), Texts("128", "128"));
    EXPECT_EQ(Checked("-99999999999999999999", "8"), Texts("1", "8"));
    // Valid texts stay as typed; the copy is the minimum's text, not its number.
    EXPECT_EQ(Checked(" 7", "+9 "), Texts(" 7", "+9 "));
    EXPECT_EQ(Checked(" 9", "8"), Texts(" 9", " 9"));
}

struct StepCase {
    std::string min, max;
    int index;
    Step step;
    bool stepped;
    std::string minAfter, maxAfter;
};

TEST(PasswordGeneratorTest, StepsStayInRangeAndKeepTheOrder) {
    const StepCase cases[] = {
        {"6", "8", 0, Step::kUp, true, "7", "8"},
        {"6", "8", 1, Step::kDown, true, "6", "7"},
        {"8", "8", 0, Step::kUp, true, "9", "9"},       // the minimum pushes the maximum
        {"7", "7", 1, Step::kDown, true, "6", "6"},     // the maximum pulls the minimum
        {"6", "128", 1, Step::kUp, false, "6", "128"},  // beep, nothing changes
        {"1", "8", 0, Step::kDown, false, "1", "8"},
        {"128", "128", 0, Step::kUp, false, "128", "128"},
        {"abc", "8", 0, Step::kUp, true, "7", "8"},   // corrected before stepping
        {"0", "x", 0, Step::kDown, false, "1", "8"},  // the correction stays
        {"10", "8", 1, Step::kDown, true, "9", "9"},
    };
    for (const auto& c : cases) {
        std::string min = c.min;
        std::string max = c.max;
        EXPECT_EQ(PasswordGenerator::StepLength(min, max, c.index, c.step), c.stepped)
            << c.min << "/" << c.max;
        EXPECT_EQ(Texts(min, max), Texts(c.minAfter, c.maxAfter)) << c.min << "/" << c.max;
    }
}

std::string Joined(const std::vector<std::string>& pool) {
    std::string out;
    for (const auto& c : pool) {
        out += c;
    }
    return out;
}

TEST(PasswordGeneratorTest, PoolJoinsTheChosenClassesInOrder) {
    std::string symbols = "!?";
    EXPECT_EQ(Joined(PasswordGenerator::BuildPool({true, true, true, true}, symbols)),
              "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!?");
    EXPECT_EQ(Joined(PasswordGenerator::BuildPool({false, false, true, true}, symbols)),
              "0123456789!?");
    EXPECT_EQ(Joined(PasswordGenerator::BuildPool({true, false, false, false}, symbols)),
              "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_TRUE(PasswordGenerator::BuildPool({false, false, false, false}, symbols).empty());
    EXPECT_EQ(symbols, "!?");
}

TEST(PasswordGeneratorTest, EmptySymbolSetIsRefilledAndControlCharactersAreLeftOut) {
    std::string symbols;
    EXPECT_TRUE(PasswordGenerator::BuildPool({false, false, false, false}, symbols).empty());
    EXPECT_EQ(symbols, "");  // refilled only when symbols are chosen
    EXPECT_EQ(Joined(PasswordGenerator::BuildPool({false, false, false, true}, symbols)), "_-#$%");
    EXPECT_EQ(symbols, "_-#$%");
    symbols = "a\r\n\tb\x7f";
    EXPECT_EQ(Joined(PasswordGenerator::BuildPool({false, false, false, true}, symbols)), "ab");
}

TEST(PasswordGeneratorTest, PoolCountsCharactersNotBytes) {
    std::string symbols = "＠★😀é";
    const auto pool = PasswordGenerator::BuildPool({false, false, false, true}, symbols);
    ASSERT_EQ(pool.size(), 4u);
    EXPECT_EQ(pool[1], "★");
    EXPECT_EQ(pool[2], "😀");
    // A broken byte stands alone instead of swallowing its neighbours.
    EXPECT_EQ(PasswordGenerator::SplitCharacters("a\xE3z").size(), 3u);
}

TEST(PasswordGeneratorTest, LengthRoundsHalvesToEven) {
    struct Case {
        int min, max;
        double r;
        int length;
    };
    const Case cases[] = {
        {6, 8, 0.0, 6},        {6, 8, 0.2499, 6},     {6, 8, 0.25, 6},  // 6.5 goes to 6
        {6, 8, 0.2501, 7},     {6, 8, 0.7499, 7},     {6, 8, 0.75, 8},  // 7.5 goes to 8
        {6, 8, kAlmostOne, 8}, {7, 8, 0.5, 8},        {6, 7, 0.5, 6},
        {5, 5, 0.0, 5},        {5, 5, kAlmostOne, 5}, {1, 128, kAlmostOne, 128},
    };
    for (const auto& c : cases) {
        ScriptedRandom random({c.r});
        EXPECT_EQ(PasswordGenerator::DrawLength(c.min, c.max, random), c.length)
            << c.min << ".." << c.max << " r=" << c.r;
    }
}

TEST(PasswordGeneratorTest, PositionIsTheFloorOfRTimesThePoolSize) {
    const auto pool = PasswordGenerator::SplitCharacters("abc");
    // Length 3 (r = 0 with min = max), then one draw per character.
    ScriptedRandom random({0.0, 0.0, 0.34, kAlmostOne});
    EXPECT_EQ(PasswordGenerator::Generate(pool, 3, 3, random), "abc");
    EXPECT_EQ(random.left(), 0u);
    ScriptedRandom edges({0.0, 1.0 / 3.0 - 1e-12, 0.7});
    EXPECT_EQ(PasswordGenerator::Generate(pool, 2, 2, edges), "ac");
}

TEST(PasswordGeneratorTest, ABrokenSourceCannotReachBeyondThePool) {
    const auto pool = PasswordGenerator::SplitCharacters("xy");
    ScriptedRandom random({1.0, 1.0, 1.0, -0.5});
    EXPECT_EQ(PasswordGenerator::Generate(pool, 1, 3, random), "yyx");
    EXPECT_EQ(PasswordGenerator::Generate({}, 6, 8, random), "");
}

TEST(PasswordGeneratorTest, SystemSourceGivesValuesInTheUnitInterval) {
    RandomSource random;
    std::set<double> seen;
    for (int i = 0; i < 1000; ++i) {
        const double r = random.NextDouble();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        seen.insert(r);
    }
    // 53-bit values practically never repeat.
    EXPECT_GT(seen.size(), 990u);
    EXPECT_EQ(RandomSource::ToUnitInterval(0), 0.0);
    EXPECT_EQ(RandomSource::ToUnitInterval(~std::uint64_t{0}), kAlmostOne);
    EXPECT_EQ(RandomSource::ToUnitInterval(std::uint64_t{1} << 52), 0.5);
}

// Bounds below are more than eight standard deviations wide: a correct generator
// fails them less often than once in 10^15 runs.
TEST(PasswordGeneratorTest, BothEndsOfTheLengthRangeAreHalfAsLikely) {
    RandomSource random;
    constexpr int kDraws = 40000;
    std::map<int, int> counts;
    for (int i = 0; i < kDraws; ++i) {
        ++counts[PasswordGenerator::DrawLength(6, 8, random)];
    }
    ASSERT_EQ(counts.size(), 3u);
    // Expected 10000, 20000, 10000; standard deviations about 87 and 100.
    EXPECT_NEAR(counts[6], 10000, 900);
    EXPECT_NEAR(counts[7], 20000, 900);
    EXPECT_NEAR(counts[8], 10000, 900);
}

TEST(PasswordGeneratorTest, EveryPoolCharacterIsEquallyLikely) {
    RandomSource random;
    std::string symbols = "_-#$%";
    const auto pool = PasswordGenerator::BuildPool({true, true, true, true}, symbols);
    ASSERT_EQ(pool.size(), 67u);
    std::map<std::string, int> counts;
    constexpr int kPasswords = 5000;
    constexpr int kLength = 67;
    for (int i = 0; i < kPasswords; ++i) {
        for (const auto& c : PasswordGenerator::SplitCharacters(
                 PasswordGenerator::Generate(pool, kLength, kLength, random))) {
            ++counts[c];
        }
    }
    ASSERT_EQ(counts.size(), pool.size());
    // 5000 draws expected per character, standard deviation about 70.
    for (const auto& [character, count] : counts) {
        EXPECT_NEAR(count, 5000, 600) << character;
    }
}

TEST(PasswordGeneratorTest, ACharacterListedTwiceIsTwiceAsLikely) {
    RandomSource random;
    const auto pool = PasswordGenerator::SplitCharacters("aab");
    constexpr int kDraws = 30000;
    const auto password = PasswordGenerator::Generate(pool, kDraws, kDraws, random);
    // Expected 20000, standard deviation about 82.
    EXPECT_NEAR(std::count(password.begin(), password.end(), 'a'), 20000, 800);
}

}  // namespace
}  // namespace zorvan
