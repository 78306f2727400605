#include "platform/SystemError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <set>

namespace zorvan {
namespace {

bool HasLatinLetters(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

TEST(SystemError, CommonCausesHaveJapanesePhrasesOfTheirOwnAndOthersTheirNumber) {
    const int common[] = {ENOENT, EACCES,    EEXIST, ENOSPC, EROFS,       ENOTDIR,
                          EISDIR, ENOTEMPTY, EBUSY,  EIO,    ENAMETOOLONG};
    std::set<std::string> phrases;
    for (const int error : common) {
        const std::string text = ErrnoText(error);
        EXPECT_FALSE(text.empty()) << error;
        EXPECT_FALSE(HasLatinLetters(text)) << error << ": " << text;
        EXPECT_EQ(text.find(std::to_string(error)), std::string::npos) << error;
        phrases.insert(text);
    }
    EXPECT_EQ(phrases.size(), std::size(common));
    EXPECT_EQ(ErrnoText(EPERM), ErrnoText(EACCES));

    const std::string unknown = ErrnoText(98765);
    EXPECT_NE(unknown.find("98765"), std::string::npos);
    EXPECT_FALSE(HasLatinLetters(unknown));
    EXPECT_EQ(SystemErrorText(std::make_error_code(std::errc::no_such_file_or_directory)),
              ErrnoText(ENOENT));
}

}  // namespace
}  // namespace zorvan
