#include "app/KeystrokeText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvan {
namespace {

using Keys = std::vector<KeyAction>;

KeyAction C(char32_t c) {
    return KeyAction::Character(c);
}

// The twelve whole-text replacements, in their fixed order, each replacing every
// non-overlapping occurrence from the left: what quoting must equal.
std::string QuoteByReplacements(std::string text) {
    const std::pair<std::string, std::string> steps[] = {
        {"{", "{{"},  {"}", "{}}"}, {"{{", "{{}"}, {"(", "{(}"}, {")", "{)}"}, {"[", "{[}"},
        {"]", "{]}"}, {"+", "{+}"}, {"%", "{%}"},  {"~", "{~}"}, {"^", "{^}"}, {"\t", "{TAB}"},
    };
    for (const auto& [from, to] : steps) {
        std::string out;
        std::size_t pos = 0;
        for (std::size_t hit; (hit = text.find(from, pos)) != std::string::npos;
             pos = hit + from.size()) {
            out.append(text, pos, hit - pos).append(to);
        }
        out.append(text, pos);
        text = out;
    }
    return text;
}

// The keys a raw text stands for: its characters, TAB as the Tab key.
Keys KeysOf(const std::u32string& raw) {
    Keys keys;
    for (const char32_t c : raw) {
        keys.push_back(c == U'\t' ? KeyAction::Tab() : C(c));
    }
    return keys;
}

TEST(KeystrokeTextTest, EntriesBuildTheirRawTexts) {
    EXPECT_EQ(KeystrokeText::RawText(0, "taro", "pa-ss"), "taro\tpa-ss");
    EXPECT_EQ(KeystrokeText::RawText(1, "taro", "pa-ss"), "taro");
    EXPECT_EQ(KeystrokeText::RawText(2, "taro", "pa-ss"), "pa-ss");
    EXPECT_EQ(KeystrokeText::RawText(3, "taro", "-pa-ss-"), "pass");
    EXPECT_EQ(KeystrokeText::RawText(4, "taro", "-pa-ss"), "\tpa\tss");
}

TEST(KeystrokeTextTest, EmptyIdUnderTheFirstEntryLeavesTheTabBeforeThePassword) {
    EXPECT_EQ(KeystrokeText::Quote(KeystrokeText::RawText(0, "", "pw")), "{TAB}pw");
}

TEST(KeystrokeTextTest, PasswordOfDashesTypesNothingOrOneTabPerDash) {
    EXPECT_EQ(KeystrokeText::Quote(KeystrokeText::RawText(3, "id", "---")), "");
    EXPECT_EQ(KeystrokeText::Quote(KeystrokeText::RawText(4, "id", "---")), "{TAB}{TAB}{TAB}");
}

TEST(KeystrokeTextTest, EntryOutsideTheMenuBuildsNothing) {
    EXPECT_EQ(KeystrokeText::RawText(-1, "id", "pw"), "");
    EXPECT_EQ(KeystrokeText::RawText(5, "id", "pw"), "");
}

TEST(KeystrokeTextTest, EachCommandCharacterIsPutInBraces) {
    EXPECT_EQ(KeystrokeText::Quote("{"), "{{}");
    EXPECT_EQ(KeystrokeText::Quote("}"), "{}}");
    EXPECT_EQ(KeystrokeText::Quote("("), "{(}");
    EXPECT_EQ(KeystrokeText::Quote(")"), "{)}");
    EXPECT_EQ(KeystrokeText::Quote("["), "{[}");
    EXPECT_EQ(KeystrokeText::Quote("]"), "{]}");
    EXPECT_EQ(KeystrokeText::Quote("+"), "{+}");
    EXPECT_EQ(KeystrokeText::Quote("%"), "{%}");
    EXPECT_EQ(KeystrokeText::Quote("~"), "{~}");
    EXPECT_EQ(KeystrokeText::Quote("^"), "{^}");
    EXPECT_EQ(KeystrokeText::Quote("\t"), "{TAB}");
}

TEST(KeystrokeTextTest, OtherCharactersStayAsTheyAre) {
    EXPECT_EQ(KeystrokeText::Quote("aZ09 !\"#$&'*,-./:;<=>?@\\_`|"),
              "aZ09 !\"#$&'*,-./:;<=>?@\\_`|");
    EXPECT_EQ(KeystrokeText::Quote("漢字かなカナｶﾅ"), "漢字かなカナｶﾅ");
    EXPECT_EQ(KeystrokeText::Quote(""), "");
}

TEST(KeystrokeTextTest, BracesAreQuotedInEveryCombination) {
    EXPECT_EQ(KeystrokeText::Quote("}{"), "{}}{{}");
    EXPECT_EQ(KeystrokeText::Quote("{{"), "{{}{{}");
    EXPECT_EQ(KeystrokeText::Quote("{}"), "{{}{}}");
    EXPECT_EQ(KeystrokeText::Quote("}}"), "{}}{}}");
    EXPECT_EQ(KeystrokeText::Quote("{{{}}}"), "{{}{{}{{}{}}{}}{}}");
}

TEST(KeystrokeTextTest, QuotingEqualsTheTwelveReplacementsInOrder) {
    const std::string samples[] = {
        "",       "plain", "}{",       "{{",      "{}",        "{{{",      "}}}",
        "{}{}}{", "a{b}c", "({[]})",   "+^%~",    "a\tb\t",    "{\t}",     "{{}",
        "{}}",    "~{~}~", "漢{字}\t", "%{TAB}%", "[[{(+)}]]", "\t\t{{\t",
    };
    for (const std::string& raw : samples) {
        EXPECT_EQ(KeystrokeText::Quote(raw), QuoteByReplacements(raw)) << raw;
    }
    // Every text of up to four characters from the troublesome ones.
    const std::string alphabet = "{}(+\tx";
    std::vector<std::string> texts{""};
    for (int length = 1; length <= 4; ++length) {
        std::vector<std::string> longer;
        for (const auto& text : texts) {
            for (const char c : alphabet) {
                longer.push_back(text + c);
            }
        }
        for (const auto& text : longer) {
            ASSERT_EQ(KeystrokeText::Quote(text), QuoteByReplacements(text)) << text;
        }
        texts = longer;
    }
}

TEST(KeystrokeTextTest, QuotedTextParsesBackToTheRawCharacters) {
    const std::pair<std::string, std::u32string> samples[] = {
        {"taro\tp@ss", U"taro\tp@ss"},
        {"+^%~()[]{}", U"+^%~()[]{}"},
        {"}{{}", U"}{{}"},
        {"漢字かなカナｶﾅ", U"漢字かなカナｶﾅ"},
        {"😀x\t\U0010FFFF", U"😀x\t\U0010FFFF"},
        {"{TAB}", U"{TAB}"},
    };
    for (const auto& [raw, characters] : samples) {
        EXPECT_EQ(KeystrokeText::Parse(KeystrokeText::Quote(raw)), KeysOf(characters)) << raw;
    }
}

TEST(KeystrokeTextTest, BracedCharactersAndKeyNamesAreRecognised) {
    EXPECT_EQ(KeystrokeText::Parse("{{}"), Keys{C('{')});
    EXPECT_EQ(KeystrokeText::Parse("{}}"), Keys{C('}')});
    EXPECT_EQ(KeystrokeText::Parse("{a}{漢}"), (Keys{C('a'), C(U'漢')}));
    EXPECT_EQ(KeystrokeText::Parse("a{TAB}b"), (Keys{C('a'), KeyAction::Tab(), C('b')}));
    EXPECT_EQ(KeystrokeText::Parse("{tab}{Tab}"), (Keys{KeyAction::Tab(), KeyAction::Tab()}));
    EXPECT_EQ(KeystrokeText::Parse("{ENTER}~"), (Keys{KeyAction::Enter(), KeyAction::Enter()}));
    EXPECT_EQ(KeystrokeText::Parse("{~}"), Keys{C('~')});
    EXPECT_EQ(KeystrokeText::Parse("a\tb"), (Keys{C('a'), KeyAction::Tab(), C('b')}));
    EXPECT_EQ(KeystrokeText::Parse("{\t}"), Keys{KeyAction::Tab()});
    EXPECT_EQ(KeystrokeText::Parse(""), Keys{});
}

TEST(KeystrokeTextTest, MalformedBracesAreTypedAsTheyStand) {
    EXPECT_EQ(KeystrokeText::Parse("{"), Keys{C('{')});
    EXPECT_EQ(KeystrokeText::Parse("ab{"), (Keys{C('a'), C('b'), C('{')}));
    EXPECT_EQ(KeystrokeText::Parse("{TAB"), (Keys{C('{'), C('T'), C('A'), C('B')}));
    EXPECT_EQ(KeystrokeText::Parse("{}"), (Keys{C('{'), C('}')}));
    EXPECT_EQ(KeystrokeText::Parse("}"), Keys{C('}')});
    EXPECT_EQ(KeystrokeText::Parse("{FOO}"), (Keys{C('{'), C('F'), C('O'), C('O'), C('}')}));
    EXPECT_EQ(KeystrokeText::Parse("{漢"), (Keys{C('{'), C(U'漢')}));
    EXPECT_EQ(KeystrokeText::Parse("{{"), (Keys{C('{'), C('{')}));
}

TEST(KeystrokeTextTest, StrayCommandCharactersAreTypedLiterally) {
    EXPECT_EQ(KeystrokeText::Parse("+^%()[]"),
              (Keys{C('+'), C('^'), C('%'), C('('), C(')'), C('['), C(']')}));
}

TEST(KeystrokeTextTest, BytesThatAreNotUtf8BecomeReplacementCharacters) {
    const KeyAction bad = C(kReplacementCharacter);
    EXPECT_EQ(KeystrokeText::Parse("a\xFF"
                                   "b"),
              (Keys{C('a'), bad, C('b')}));
    EXPECT_EQ(KeystrokeText::Parse("\xE6\xBC"), (Keys{bad, bad}));           // cut short
    EXPECT_EQ(KeystrokeText::Parse("\xC0\xAF"), (Keys{bad, bad}));           // overlong "/"
    EXPECT_EQ(KeystrokeText::Parse("\xED\xA0\x80"), (Keys{bad, bad, bad}));  // a surrogate
    EXPECT_EQ(KeystrokeText::Parse("{\xFF}"), Keys{bad});
    EXPECT_EQ(KeystrokeText::Parse(std::string_view("a\0b", 3)), (Keys{C('a'), C(0), C('b')}));
}

TEST(KeystrokeTextTest, AnyTextParsesWithoutFault) {
    // Every text of up to three bytes from a set of brace, name and broken bytes.
    const std::string alphabet{'{', '}', 'T', '~', '\t', '\xE6', '\xBC', '\xA2', '\xFF'};
    std::vector<std::string> texts{""};
    for (int length = 1; length <= 3; ++length) {
        std::vector<std::string> longer;
        for (const auto& text : texts) {
            for (const char c : alphabet) {
                longer.push_back(text + c);
            }
        }
        for (const auto& text : longer) {
            const Keys keys = KeystrokeText::Parse(text);
            ASSERT_LE(keys.size(), text.size()) << text;
        }
        texts = longer;
    }
}

TEST(KeystrokeTextTest, CodePointsSplitIntoUtf16Units) {
    char16_t units[2] = {};
    ASSERT_EQ(ToUtf16(U'A', units), 1U);
    EXPECT_EQ(units[0], u'A');
    ASSERT_EQ(ToUtf16(U'漢', units), 1U);
    EXPECT_EQ(units[0], u'漢');
    ASSERT_EQ(ToUtf16(U'\U0001F600', units), 2U);
    EXPECT_EQ(units[0], 0xD83D);
    EXPECT_EQ(units[1], 0xDE00);
    ASSERT_EQ(ToUtf16(U'\U00010000', units), 2U);
    EXPECT_EQ(units[0], 0xD800);
    EXPECT_EQ(units[1], 0xDC00);
    ASSERT_EQ(ToUtf16(U'\U0010FFFF', units), 2U);
    EXPECT_EQ(units[0], 0xDBFF);
    EXPECT_EQ(units[1], 0xDFFF);
    ASSERT_EQ(ToUtf16(0xD800, units), 1U);  // a lone surrogate is no character
    EXPECT_EQ(units[0], 0xFFFD);
    ASSERT_EQ(ToUtf16(0x110000, units), 1U);
    EXPECT_EQ(units[0], 0xFFFD);
}

TEST(KeystrokeTextTest, WipeZeroesTheKeysAndEmptiesTheList) {
    Keys keys = KeystrokeText::Parse("secret");
    const KeyAction* data = keys.data();
    const std::size_t count = keys.size();
    KeystrokeText::Wipe(keys);
    EXPECT_TRUE(keys.empty());
    // clear() keeps the storage, so it can still be looked at.
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_EQ(data[i].character, 0U);
    }
}

#ifdef _WIN32
// Windows always offers SendInput; an empty text sends no input at all.
TEST(KeystrokeTextTest, WindowsInjectorIsAvailableAndTypesAnEmptyTextWithoutInput) {
    const auto injector = CreateKeyInjector();
    EXPECT_TRUE(injector->Available());
    EXPECT_TRUE(injector->Type({}));
}
#endif

}  // namespace
}  // namespace zorvan
