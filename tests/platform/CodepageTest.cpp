#include <gtest/gtest.h>

#include "platform/Codepage.h"

namespace zorvan {
namespace {

using codepage::FromAnsi;
using codepage::ToAnsi;

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

TEST(Codepage, ConvertsKnownCharactersToTheirCp932Bytes) {
    const std::pair<const char*, const char*> both[] = {
        {"abc\\~", "abc\\~"},
        {"銀行", "\x8B\xE2\x8D\x73"},
        {"ｶﾅ", "\xB6\xC5"},
        {"～", "\x81\x60"},  // U+FF5E, the code page's wave dash
        {"①⑳", "\x87\x40\x87\x53"},
        {"㈱Ⅰ∵", "\x87\x8A\x87\x54\x81\xE6"},
        {"あ", "\x82\xA0"},
        // ソ and 表 end in 0x5C, the backslash; ア in 0x41, "A".
        {"ソ\\表~ｱ1ア",
         "\x83\x5C\\\x95\x5C~\xB1"
         "1\x83\x41"},
    };
    for (const auto& [text, bytes] : both) {
        EXPECT_EQ(ToAnsi(text), bytes) << text;
        EXPECT_EQ(FromAnsi(bytes), text) << text;
    }
    EXPECT_EQ(codepage::AnsiLength("abc"), 3u);
    EXPECT_EQ(codepage::AnsiLength("ｱ"), 1u);
    EXPECT_EQ(codepage::AnsiLength("パスワード"), 10u);
}

TEST(Codepage, EveryDecodableCodeRoundTripsAsText) {
    // ASCII with its control characters, and the half-width katakana.
    for (int byte = 0; byte <= 0xDF; byte = byte == 0x7F ? 0xA1 : byte + 1) {
        const std::string bytes(1, static_cast<char>(byte));
        ASSERT_EQ(ToAnsi(FromAnsi(bytes)), bytes) << std::hex << byte;
    }
    int decodable = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0) {
            continue;
        }
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) {
                continue;
            }
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = FromAnsi(bytes);
            if (text == kReplacement) {
                continue;
            }
            ++decodable;
            ASSERT_EQ(FromAnsi(ToAnsi(text)), text) << std::hex << lead << trail;
        }
    }
    // JIS X 0208 with the NEC and IBM extensions and the user-defined area.
    EXPECT_GT(decodable, 9000);
}

TEST(Codepage, ReplacesWhatTheCodePageCannotHoldByOneQuestionMarkEach) {
    EXPECT_EQ(ToAnsi("aé😀b"), "a??b");
    EXPECT_EQ(ToAnsi("鷗"), "?");             // JIS X 0213 only
    EXPECT_EQ(ToAnsi("Ä€"), "??");            // no best-fit look-alikes such as "A"
    EXPECT_EQ(ToAnsi("x\xFFy\xC3"), "x?y?");  // malformed UTF-8
}

TEST(Codepage, StoresForeignJapaneseVariantsAsTheirCp932Twins) {
    EXPECT_EQ(ToAnsi("〜"), "\x81\x60");  // U+301C WAVE DASH
    EXPECT_EQ(FromAnsi(ToAnsi("〜")), "～");
    EXPECT_EQ(ToAnsi("−"), ToAnsi("－"));  // MINUS SIGN
    EXPECT_EQ(ToAnsi("—"), ToAnsi("―"));   // EM DASH
    EXPECT_EQ(ToAnsi("¢£¬"), ToAnsi("￠￡￢"));
}

TEST(Codepage, DecodesMalformedBytesToReplacementCharacters) {
    EXPECT_EQ(FromAnsi("\x81"), kReplacement);  // lead byte at the end
    EXPECT_EQ(FromAnsi("a\x81 b"), std::string("a") + std::string(kReplacement) + " b");
    EXPECT_EQ(FromAnsi("\x80\xA0\xFD"),
              std::string(kReplacement) + std::string(kReplacement) + std::string(kReplacement));
}

TEST(Codepage, OneBadCharacterSpoilsNothingAroundIt) {
    const std::string bad(kReplacement);
    // 0x85 0x40 is well formed but unassigned.
    EXPECT_EQ(FromAnsi("\x85\x40\x82\xA0"), bad + "あ");
    EXPECT_EQ(FromAnsi("x\x85\x40y\x82\xA0\x80z"), "x" + bad + "yあ" + bad + "z");
    EXPECT_EQ(ToAnsi("あ¥い"), "\x82\xA0?\x82\xA2");  // the yen sign only maps one way
    EXPECT_EQ(ToAnsi("a\xE3\x81z漢\xFF"), "a??z\x8A\xBF?");
}

TEST(Codepage, LongMostlyAsciiTextConvertsExactlyBothWays) {
    std::string text;
    std::string ansi;
    for (int i = 0; i < 20000; ++i) {
        // Appended piece by piece: "literal" + std::string trips a false -Wrestrict
        // in the cross compiler's library at -O3.
        if (i % 1000 == 0) {
            text += "\r\nグループ#0";
            ansi += "\r\n\x83O\x83\x8B\x81[\x83v#0";
        }
        const std::string number = std::to_string(i * 7);
        text.append("\t").append(number);
        ansi.append("\t").append(number);
    }
    EXPECT_EQ(ToAnsi(text), ansi);
    EXPECT_EQ(FromAnsi(ansi), text);
}

}  // namespace
}  // namespace zorvan
