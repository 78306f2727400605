#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace zorvan {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, TextWithoutBlankIsOneArgument) {
    EXPECT_EQ(SplitCommandLine("/p"), Args{"/p"});
    EXPECT_EQ(SplitCommandLine(""), Args{""});
}

TEST(SplitCommandLine, SplitsAtBlanksAndSkipsRepeatedOnes) {
    EXPECT_EQ(SplitCommandLine("/p secret"), (Args{"/p", "secret"}));
    EXPECT_EQ(SplitCommandLine("  /p   secret  "), (Args{"/p", "secret"}));
}

TEST(SplitCommandLine, QuotedArgumentKeepsItsBlanks) {
    EXPECT_EQ(SplitCommandLine("/p \"my pass\""), (Args{"/p", "my pass"}));
    EXPECT_EQ(SplitCommandLine("/p \"a  b\" c"), (Args{"/p", "a  b", "c"}));
    EXPECT_EQ(SplitCommandLine("/p \"\" x"), (Args{"/p", "", "x"}));
}

TEST(SplitCommandLine, EscapedQuotesStayInsideAndBecomePlainQuotes) {
    EXPECT_EQ(SplitCommandLine("/p \"a\\\"b\""), (Args{"/p", "a\"b"}));
    EXPECT_EQ(SplitCommandLine("/p \"say \\\" hi\" z"), (Args{"/p", "say \" hi", "z"}));
    EXPECT_EQ(SplitCommandLine("/p \"end\\\"\""), (Args{"/p", "end\""}));
}

TEST(SplitCommandLine, UnclosedQuoteTakesTheRestOfTheLine) {
    EXPECT_EQ(SplitCommandLine("/p \"abc def"), (Args{"/p", "abc def"}));
    EXPECT_EQ(SplitCommandLine("/p \" "), (Args{"/p", " "}));
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
