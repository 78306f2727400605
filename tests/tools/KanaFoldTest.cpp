#include "tools/KanaFold.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

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
        {"ａｂｃ", "abc"},
        {"全角\u3000空白", "全角 空白"},
        {"ｶﾅ", "カナ"},
        {"かな", "カナ"},
        {"ぱすわーど", "パスワード"},
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

// Texts strung together from pieces that interact: kana of each form, sound marks of
// each form, stray and cut-off UTF-8 bytes. Folding twice changes nothing more, and
// never lengthens the text.
TEST(KanaFoldTest, FoldingIsStableOnMixedPieces) {
    const std::string pieces[] = {"ｶ",      "か",   "カ",       "ﾞ",  "ﾟ",    "\u3099",
                                  "\u309A", "゛",   "゜",       "ﾊ",  "は",   "ｳ",
                                  "ゝ",     "Ａ",   "A",        "ｰ",  "\xe3", "\x81",
                                  "\xff",   "\xc3", "\xef\xbd", "漢", " ",    "\u3000"};
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int i = 0; i < 8; ++i) {
            text += pieces[pick(random)];
        }
        const std::string folded = KanaFold(text);
        EXPECT_LE(folded.size(), text.size()) << text;
        EXPECT_EQ(KanaFold(folded), folded) << text;
    }
}

}  // namespace
}  // namespace zorvan
