#include "tools/KanaFold.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvan {
namespace {

struct FoldCase {
    std::string text;
    std::string folded;
};

TEST(KanaFoldTest, FoldsEachFormToOne) {
    const FoldCase cases[] = {
        {"ABC xyz", "abc xyz"},
        {"ＡＢＣ１２３＠ｘ", "abc123@x"},
        {"全角\u3000空白", "全角 空白"},
        {"ｶﾅ", "カナ"},
        {"かな", "カナ"},
        {"ゔゝゞ", "ヴヽヾ"},
        {"ｰ｡｢｣､･ｦｧｯ", "ー。「」、・ヲァッ"},
        // Sound marks join the kana before them, whichever form either takes.
        {"ｶﾞｻﾞﾀﾞﾁﾞﾂﾞﾄﾞ", "ガザダヂヅド"},
        {"ﾊﾞﾊﾟﾎﾟ", "バパポ"},
        {"ｳﾞﾜﾞｦﾞ", "ヴヷヺ"},
        {"か\u3099は\u309Aカ゛", "ガパガ"},
        // Where a mark joins nothing it stays, as the spacing mark.
        {"ｱﾞｯﾞｶﾟﾞx\u3099", "ア゛ッ゛カ゜゛x゛"},
        {"ÀÉ×ΑΩДЁ", "àé×αωдё"},
        {"漢字・ｶﾞ", "漢字・ガ"},
        // Bytes that are not UTF-8 pass through; an overlong form is no character.
        {"a\xff\xe3\x81", "a\xff\xe3\x81"},
        {"\xc1\x81", "\xc1\x81"},
        {"", ""},
    };
    for (const FoldCase& c : cases) {
        EXPECT_EQ(KanaFold(c.text), c.folded) << c.text;
        EXPECT_LE(c.folded.size(), c.text.size()) << c.text;  // SearchIndex relies on it
    }
}

TEST(KanaFoldTest, TheWaysOfTypingAWordFoldAlike) {
    const std::vector<std::vector<std::string>> alike = {
        {"ABC", "abc", "ＡＢＣ", "ａｂｃ"},
        {"カナ", "かな", "ｶﾅ"},
        {"ガギグ", "がぎぐ", "ｶﾞｷﾞｸﾞ", "か\u3099き\u3099く\u3099"},
        {"パスワード", "ぱすわーど", "ﾊﾟｽﾜｰﾄﾞ"},
    };
    for (const auto& forms : alike) {
        for (const std::string& form : forms) {
            EXPECT_EQ(KanaFold(form), KanaFold(forms.front())) << form;
        }
    }
}

}  // namespace
}  // namespace zorvan
