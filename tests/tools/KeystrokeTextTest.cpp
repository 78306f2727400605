#include "tools/KeystrokeText.h"

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

// Calls check with every text of 1 to maxLength characters from alphabet.
template <typename Check>
void ForEveryText(const std::string& alphabet, int maxLength, Check check) {
    std::vector<std::string> texts{""};
    for (int length = 1; length <= maxLength; ++length) {
        std::vector<std::string> longer;
        for (const auto& text : texts) {
            for (const char c : alphabet) {
                longer.push_back(text + c);
                check(longer.back());
            }
        }
        texts = longer;
    }
}

// The keys a raw text stands for: its characters, TAB as the Tab key and LF as
// the Enter key.
Keys KeysOf(const std::u32string& raw) {
    Keys keys;
    for (const char32_t c : raw) {
        keys.push_back(c == U'\t' ? KeyAction::Tab() : c == U'\n' ? KeyAction::Enter() : C(c));
    }
    return keys;
}

TEST(KeystrokeTextTest, EachEntryTypesItsPartsQuoted) {
    struct Case {
        int entry;
        const char *id, *password, *raw, *quoted;
    };
    const Case cases[] = {
        {0, "taro", "pa-ss", "taro\tpa-ss", "taro{TAB}pa-ss"},
        {1, "taro", "pa-ss", "taro", "taro"},
        {2, "taro", "pa-ss", "pa-ss", "pa-ss"},
        {3, "taro", "-pa-ss-", "pass", "pass"},
        {4, "taro", "-pa-ss", "\tpa\tss", "{TAB}pa{TAB}ss"},
        {0, "", "pw", "\tpw", "{TAB}pw"},  // an empty ID still leaves the Tab
        {3, "id", "---", "", ""},          // a password of dashes types nothing
        {4, "id", "---", "\t\t\t", "{TAB}{TAB}{TAB}"},
        {-1, "id", "pw", "", ""},  // entries outside the menu build nothing
        {5, "id", "pw", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entry << " " << c.id << "/" << c.password);
        const std::string raw = KeystrokeText::RawText(c.entry, c.id, c.password);
        EXPECT_EQ(raw, c.raw);
        EXPECT_EQ(KeystrokeText::Quote(raw), c.quoted);
    }
}

TEST(KeystrokeTextTest, QuotingEqualsTheTwelveReplacementsInOrder) {
    const std::string samples[] = {"plain",   "{}{}}{",    "({[]})",
                                   "+^%~",    "~{~}~",     "漢{字}\t",
                                   "%{TAB}%", "[[{(+)}]]", "aZ09 !\"#$&'*,-./:;<=>?@\\_`|"};
    for (const std::string& raw : samples) {
        EXPECT_EQ(KeystrokeText::Quote(raw), QuoteByReplacements(raw)) << raw;
    }
    // Every text of up to four characters from the troublesome ones.
    ForEveryText("{}(+\tx", 4, [](const std::string& text) {
        ASSERT_EQ(KeystrokeText::Quote(text), QuoteByReplacements(text)) << text;
    });
}

TEST(KeystrokeTextTest, QuotedTextParsesBackToTheRawCharacters) {
    const std::pair<std::string, std::u32string> samples[] = {{"taro\tp@ss", U"taro\tp@ss"},
                                                              {"+^%~()[]{}", U"+^%~()[]{}"},
                                                              {"}{{}", U"}{{}"},
                                                              {"漢字かなカナｶﾅ", U"漢字かなカナｶﾅ"},
                                                              {"😀x\t\U0010FFFF", U"😀x\t\U0010FFFF"},
                                                              {"{TAB}", U"{TAB}"}};
    for (const auto& [raw, characters] : samples) {
        EXPECT_EQ(KeystrokeText::Parse(KeystrokeText::Quote(raw)), KeysOf(characters)) << raw;
    }
}

TEST(KeystrokeTextTest, KeyNamesBracedAndMalformedTextsParse) {
    using namespace std::string_literals;
    using Cases = std::vector<std::pair<std::string, std::u32string>>;
    // Expected keys as characters, Tab as \t and Enter as \n. Malformed braces and
    // stray command characters (from "ab{" on) are typed as they stand.
    const Cases named = {{"{a}{漢}", U"a漢"},   {"a{TAB}b", U"a\tb"},   {"{tab}{Tab}", U"\t\t"},
                         {"{ENTER}~", U"\n\n"}, {"{\t}", U"\t"},        {"", U""},
                         {"ab{", U"ab{"},       {"{TAB", U"{TAB"},      {"{}", U"{}"},
                         {"}", U"}"},           {"{FOO}", U"{FOO}"},    {"{漢", U"{漢"},
                         {"{{", U"{{"},         {"+^%()[]", U"+^%()[]"}};
    // A stray byte, a sequence cut short, an overlong "/" and a surrogate: one
    // replacement character for each byte that starts no valid sequence.
    const Cases broken = {{"a\xFFz", U"a\uFFFDz"},       {"\xE6\xBC", U"\uFFFD\uFFFD"},
                          {"\xC0\xAF", U"\uFFFD\uFFFD"}, {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
                          {"{\xFF}", U"\uFFFD"},         {"a\0b"s, U"a\0b"s}};
    for (const Cases& cases : {named, broken}) {
        for (const auto& [text, characters] : cases) {
            EXPECT_EQ(KeystrokeText::Parse(text), KeysOf(characters)) << text;
        }
    }
}

TEST(KeystrokeTextTest, AnyTextParsesWithoutFault) {
    // Brace, name and broken bytes.
    ForEveryText({'{', '}', 'T', '~', '\t', '\xE6', '\xBC', '\xA2', '\xFF'}, 3,
                 [](const std::string& text) {
                     ASSERT_LE(KeystrokeText::Parse(text).size(), text.size()) << text;
                 });
}

TEST(KeystrokeTextTest, CodePointsSplitIntoUtf16Units) {
    struct Case {
        char32_t c;
        std::u16string units;
    };
    const Case cases[] = {
        {U'A', u"A"},
        {U'漢', u"漢"},
        {U'\U0001F600', {0xD83D, 0xDE00}},
        {U'\U00010000', {0xD800, 0xDC00}},
        {U'\U0010FFFF', {0xDBFF, 0xDFFF}},
        {0xD800, {0xFFFD}},  // a lone surrogate is no character
        {0x110000, {0xFFFD}},
    };
    for (const auto& c : cases) {
        char16_t units[2] = {};
        const std::size_t n = ToUtf16(c.c, units);
        EXPECT_EQ(std::u16string(units, n), c.units) << static_cast<std::uint32_t>(c.c);
    }
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

}  // namespace
}  // namespace zorvan
