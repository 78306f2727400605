#include "tools/KanaFold.h"

#include "platform/Codepage.h"

#include <cstdint>

namespace zorvan {
namespace {

// U+FF61..U+FF9F as full-width characters; the two sound marks become the spacing
// ones, unless they follow a kana they combine with.
constexpr char16_t kHalfWidth[] = {
    u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ',
    u'ョ', u'ッ', u'ー', u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ',
    u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ', u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ',
    u'ネ', u'ノ', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ', u'ム', u'メ', u'モ', u'ヤ',
    u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン', u'゛', u'゜',
};
static_assert(std::size(kHalfWidth) == 0xFF9F - 0xFF61 + 1);

constexpr char32_t kVoicedMark = 0x309B;
constexpr char32_t kSemiVoicedMark = 0x309C;

// One code point and its length in bytes; length 0 for a byte that starts no valid
// sequence.
struct Decoded {
    char32_t code;
    std::size_t length;
};

Decoded Decode(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[at + i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return {0, 0};
    }
    if (at + length > text.size()) {
        return {0, 0};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return {0, 0};
        }
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    // Overlong forms and surrogates are not characters.
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return {0, 0};
    }
    return {code, length};
}

// The character on its own, before any sound mark is joined to it.
char32_t FoldOne(char32_t c) {
    if (c >= 'A' && c <= 'Z') {
        return c + 0x20;
    }
    if (c < 0x80) {
        return c;
    }
    if (c >= 0xFF01 && c <= 0xFF5E) {  // full-width ASCII
        return FoldOne(c - 0xFF01 + 0x21);
    }
    if (c == 0x3000) {  // ideographic space
        return ' ';
    }
    if (c >= 0xFF61 && c <= 0xFF9F) {
        return kHalfWidth[c - 0xFF61];
    }
    if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) {  // hiragana
        return c + 0x60;
    }
    if (c == 0x3099) {  // combining marks join like the spacing ones
        return kVoicedMark;
    }
    if (c == 0x309A) {
        return kSemiVoicedMark;
    }
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    return c;
}

// The katakana with the mark joined to it, or 0 when the two do not combine.
char32_t Combine(char32_t kana, char32_t mark) {
    const bool voiced = mark == kVoicedMark;
    // カ..ト: voiced form follows each plain one, ッ sits between チ and ツ.
    if (voiced && kana >= 0x30AB && kana <= 0x30C8 && kana != 0x30C3) {
        const bool plain = kana < 0x30C3 ? (kana - 0x30AB) % 2 == 0 : (kana - 0x30C4) % 2 == 0;
        return plain ? kana + 1 : 0;
    }
    // ハ..ホ: plain, voiced, semi-voiced in threes.
    if (kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0) {
        return kana + (voiced ? 1 : 2);
    }
    if (!voiced) {
        return 0;
    }
    switch (kana) {
        case 0x30A6:  // ウ
            return 0x30F4;
        case 0x30EF:  // ワ ヰ ヱ ヲ
        case 0x30F0:
        case 0x30F1:
        case 0x30F2:
            return kana - 0x30EF + 0x30F7;
        case 0x30FD:  // ヽ
            return 0x30FE;
        default:
            return 0;
    }
}

}  // namespace

void AppendKanaFold(std::string_view utf8, std::string& out) {
    char32_t previous = 0;       // the last character written, folded
    std::size_t previousAt = 0;  // where it starts in out
    for (std::size_t at = 0; at < utf8.size();) {
        const Decoded decoded = Decode(utf8, at);
        if (decoded.length == 0) {
            out += utf8[at++];
            previous = 0;
            continue;
        }
        at += decoded.length;
        char32_t c = FoldOne(decoded.code);
        if (c == kVoicedMark || c == kSemiVoicedMark) {
            if (const char32_t joined = previous != 0 ? Combine(previous, c) : 0) {
                out.resize(previousAt);
                c = joined;
            }
        }
        previousAt = out.size();
        previous = c;
        codepage::AppendUtf8(out, c);
    }
}

std::string KanaFold(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    AppendKanaFold(utf8, out);
    return out;
}

}  // namespace zorvan
