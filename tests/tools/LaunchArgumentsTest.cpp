#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/ProcessCommandLine.h"
#else
#include <unistd.h>
#endif

#include "tools/CommandLine.h"
#include "tools/LaunchArguments.h"

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

// A pipe whose whole input is written and closed; the read end is the caller's.
int InputOf(const std::string& text) {
    int fds[2];
#ifdef _WIN32
    if (_pipe(fds, 8192, _O_BINARY) != 0) {
        return -1;
    }
    _write(fds[1], text.data(), static_cast<unsigned>(text.size()));
    _close(fds[1]);
#else
    if (pipe(fds) != 0) {
        return -1;
    }
    (void)!write(fds[1], text.data(), text.size());
    close(fds[1]);
#endif
    return fds[0];
}

void Close(int fd) {
#ifdef _WIN32
    _close(fd);
#else
    close(fd);
#endif
}

std::optional<std::string> Text(const std::optional<SecretText>& secret) {
    if (!secret) {
        return std::nullopt;
    }
    return std::string(secret->view());
}

TEST(ReadSecretLine, TakesOneLineWithoutItsBreak) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"pass word\nnext\n", "pass word"},
        {"crlf\r\n", "crlf"},
        {"no break at the end", "no break at the end"},
        {"\n", ""},  // an empty line is the empty password
        {"", std::nullopt},
        {std::string(3000, 'x') + "\n", std::string(kMaxSecretLine, 'x')},
    };
    for (const auto& [input, expected] : cases) {
        const int fd = InputOf(input);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(Text(ReadSecretLine(fd)), expected) << input.substr(0, 20);
        Close(fd);
    }
}

#ifndef _WIN32
// argv as the system lays it out: the strings back to back in one block, which is
// what /proc/PID/cmdline shows.
struct Argv {
    explicit Argv(const std::vector<std::string>& arguments) {
        std::vector<std::size_t> offsets;
        for (const auto& argument : arguments) {
            offsets.push_back(block.size());
            block += argument;
            block += '\0';
        }
        for (const std::size_t offset : offsets) {
            pointers.push_back(block.data() + offset);
        }
        pointers.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(pointers.size() - 1); }
    char** argv() { return pointers.data(); }

    std::string block;
    std::vector<char*> pointers;
};

TEST(LaunchArguments, TheSlashPPasswordIsTakenAndBlankedInTheArgumentMemory) {
    using namespace std::string_literals;
    const struct {
        std::vector<std::string> arguments;
        std::optional<std::string> password;
        std::string blockAfter;
    } cases[] = {
        {{"zorvan", "/p", "secret"}, "secret", "zorvan\0/p\0\0\0\0\0\0\0\0"s},
        {{"zorvan", "x", "/P", "a b", "y"}, "a b", "zorvan\0x\0/P\0\0\0\0\0y\0"s},
        {{"zorvan", "secret", "/p"}, std::nullopt, "zorvan\0secret\0/p\0"s},
        {{"zorvan"}, std::nullopt, "zorvan\0"s},
    };
    for (const auto& c : cases) {
        Argv args(c.arguments);
        const LaunchArguments launch = TakeLaunchArguments(args.argc(), args.argv(), -1);
        EXPECT_EQ(Text(launch.password), c.password) << c.arguments.size();
        EXPECT_EQ(args.block, c.blockAfter);
    }
}

TEST(LaunchArguments, PasswordStdinReadsOnlyItsLineAndWinsOverSlashP) {
    using namespace std::string_literals;
    const int fd = InputOf("from input\nleft for others\n");
    ASSERT_GE(fd, 0);
    Argv args({"zorvan", "/p", "given", kPasswordStdinOption});
    const LaunchArguments launch = TakeLaunchArguments(args.argc(), args.argv(), fd);
    EXPECT_EQ(Text(launch.password), "from input");
    EXPECT_EQ(args.block, "zorvan\0/p\0\0\0\0\0\0\0--password-stdin\0"s);
    char rest[64] = {};
    EXPECT_EQ(std::string(rest, static_cast<std::size_t>(read(fd, rest, sizeof rest))),
              "left for others\n");
    close(fd);
}
#else
TEST(ProcessCommandLine, BlankingShowsInBothBuffersWindowsKeeps) {
    const std::string line = ProcessCommandLine();
    ASSERT_GE(line.size(), 2u);
    ASSERT_EQ(std::string(GetCommandLineA()).substr(0, 2), line.substr(0, 2));
    BlankProcessCommandLine(0, 2);
    EXPECT_EQ(ProcessCommandLine().substr(0, 2), "  ");
    EXPECT_EQ(std::string(GetCommandLineA()).substr(0, 2), "  ");
    EXPECT_EQ(ProcessCommandLine().substr(2), line.substr(2));
}
#endif

}  // namespace
}  // namespace zorvan
