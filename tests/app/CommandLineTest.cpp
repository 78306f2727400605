#include <gtest/gtest.h>

#include "app/CommandLine.h"

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

}  // namespace
}  // namespace zorvan
