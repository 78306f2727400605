#include <gtest/gtest.h>

#include "tools/CommandLine.h"

namespace zorvan {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, SplitsAtBlanksKeepingQuotedArgumentsWhole) {
    const std::pair<const char*, Args> cases[] = {
        {"/p", {"/p"}},  // without a blank: one argument
        {"", {""}},
        {"/p secret", {"/p", "secret"}},
        {"  /p   secret  ", {"/p", "secret"}},  // repeated blanks are skipped
        {"/p \"my pass\"", {"/p", "my pass"}},
        {"/p \"a  b\" c", {"/p", "a  b", "c"}},
        {"/p \"\" x", {"/p", "", "x"}},
        {"/p \"a\\\"b\"", {"/p", "a\"b"}},  // escaped quotes become plain quotes
        {"/p \"say \\\" hi\" z", {"/p", "say \" hi", "z"}},
        {"/p \"end\\\"\"", {"/p", "end\""}},
        {"/p \"abc def", {"/p", "abc def"}},  // an unclosed quote takes the rest
        {"/p \" ", {"/p", " "}},
    };
    for (const auto& [line, args] : cases) {
        EXPECT_EQ(SplitCommandLine(line), args) << line;
    }
}

TEST(PasswordOption, FollowsSlashPInEitherCase) {
    EXPECT_EQ(FindPasswordOption({"/p", "secret"}), "secret");
    EXPECT_EQ(FindPasswordOption({"x", "/P", "my pass", "/p", "other"}), "my pass");
    EXPECT_EQ(FindPasswordOption({"/p", ""}), "");
}

TEST(PasswordOption, NothingWithoutOptionOrWhenItIsLast) {
    EXPECT_FALSE(FindPasswordOption({}));
    EXPECT_FALSE(FindPasswordOption({"secret"}));
    EXPECT_FALSE(FindPasswordOption({"x", "/p"}));
    EXPECT_FALSE(FindPasswordOption({"-p", "secret"}));
}

TEST(PasswordSpan, CoversThePasswordAsWrittenQuotesIncluded) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"/p secret", "secret"},
        {"x  /P  \"my pass\" y", "\"my pass\""},
        {"/p \"a\\\"b\" /p other", "\"a\\\"b\""},  // the first /p counts
        {"/p \"open to the end", "\"open to the end"},
        {"/p \"\" x", "\"\""},
    };
    for (const auto& [line, written] : cases) {
        const auto span = FindPasswordSpan(line);
        ASSERT_TRUE(span) << line;
        EXPECT_EQ(line.substr(span->begin, span->end - span->begin), written) << line;
    }
    EXPECT_FALSE(FindPasswordSpan("/p"));
    EXPECT_FALSE(FindPasswordSpan("secret /p"));
}

TEST(ArgumentsStart, SkipsTheProgramNameQuotedOrNotAndTheBlanksAfterIt) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"zorvan.exe /p x", "/p x"},
        {"\"C:\\Program Files\\zorvan.exe\"   /p x", "/p x"},
        {"\"C:\\a b\\zorvan.exe\"/p x", "/p x"},
        {"zorvan.exe", ""},
        {"\"unclosed /p x", ""},
    };
    for (const auto& [line, rest] : cases) {
        EXPECT_EQ(line.substr(ArgumentsStart(line)), rest) << line;
    }
}

}  // namespace
}  // namespace zorvan
