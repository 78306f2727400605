#include "platform/Codepage.h"

#include <algorithm>
#include <cstdint>

#include "platform/CodepageNative.h"
#include "platform/SecureWipe.h"

namespace zorvan::codepage {

namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";  // U+FFFD

// Reads one code point at text[pos], advancing pos; kInvalid for a malformed byte.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    const auto b0 = static_cast<unsigned char>(text[pos]);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, min = 0x10000;
    } else {
        ++pos;
        return kInvalid;
    }
    if (pos + extra >= text.size()) {
        ++pos;
        return kInvalid;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto b = static_cast<unsigned char>(text[pos + i]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return kInvalid;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kInvalid;
    }
    pos += extra + 1;
    return cp;
}

// The code page 932 twin of a character that other systems' input methods produce.
char32_t Cp932Twin(char32_t cp) {
    switch (cp) {
        case 0x301C:
            return 0xFF5E;  // WAVE DASH -> FULLWIDTH TILDE
        case 0x2016:
            return 0x2225;  // DOUBLE VERTICAL LINE -> PARALLEL TO
        case 0x2212:
            return 0xFF0D;  // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
        case 0x2014:
            return 0x2015;  // EM DASH -> HORIZONTAL BAR
        case 0x00A2:
            return 0xFFE0;  // CENT SIGN
        case 0x00A3:
            return 0xFFE1;  // POUND SIGN
        case 0x00AC:
            return 0xFFE2;  // NOT SIGN
        default:
            return cp;
    }
}

// Encodes one character, accepting only codes that decode back to it.
std::string EncodeOne(char32_t cp) {
    std::string utf8;
    AppendUtf8(utf8, cp);
    const auto ansi = native::Utf8ToCp932(utf8);
    if (!ansi || ansi->empty()) {
        return "?";
    }
    const auto back = native::Cp932ToUtf8(*ansi);
    if (!back || *back != utf8) {
        return "?";
    }
    return *ansi;
}

bool IsSingleByte(unsigned char b) {
    return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
}
bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool IsTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Length of the code page 932 character at ansi[pos]: 1 or 2, or 0 when invalid.
std::size_t UnitLength(std::string_view ansi, std::size_t pos) {
    const auto b = static_cast<unsigned char>(ansi[pos]);
    if (IsSingleByte(b)) {
        return 1;
    }
    if (IsLeadByte(b) && pos + 1 < ansi.size() &&
        IsTrailByte(static_cast<unsigned char>(ansi[pos + 1]))) {
        return 2;
    }
    return 0;
}

// Appends the code page 932 form of a run of non-ASCII UTF-8 bytes to out.
void EncodeRun(std::string_view utf8, std::string& out) {
    // Normalise first: invalid bytes to "?", twins to their code page 932 form.
    std::string clean;
    clean.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = NextCodePoint(utf8, pos);
        AppendUtf8(clean, cp == kInvalid ? U'?' : Cp932Twin(cp));
    }
    // Fast path: the whole run converts, and converts back to itself (so no
    // one-way mapping slipped in).
    // The texts are often passwords: the working copies are wiped.
    if (auto ansi = native::Utf8ToCp932(clean)) {
        auto back = native::Cp932ToUtf8(*ansi);
        const bool exact = back && *back == clean;
        if (back) {
            SecureWipe(*back);
        }
        if (exact) {
            out += *ansi;
            SecureWipe(*ansi);
            SecureWipe(clean);
            return;
        }
        SecureWipe(*ansi);
    }
    for (std::size_t pos = 0; pos < clean.size();) {
        const char32_t cp = NextCodePoint(clean, pos);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else {
            out += EncodeOne(cp);
        }
    }
    SecureWipe(clean);
}

// Appends the UTF-8 form of a run of whole, non-ASCII code page 932 units to out.
void DecodeRun(std::string_view ansi, std::string& out) {
    if (ansi.empty()) {
        return;
    }
    if (auto text = native::Cp932ToUtf8(ansi)) {
        out += *text;
        SecureWipe(*text);
        return;
    }
    for (std::size_t pos = 0; pos < ansi.size();) {
        const std::size_t len = UnitLength(ansi, pos);
        if (auto text = native::Cp932ToUtf8(ansi.substr(pos, len))) {
            out += *text;
            SecureWipe(*text);
        } else {
            out += kReplacementUtf8;
        }
        pos += len;
    }
}

bool IsAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// ASCII is the same in both encodings and long stretches of it are copied as they
// are; only the runs between go through the system's converter. Files such as
// the index are mostly digits, and a conversion costs far more per byte than a
// copy. Short ASCII stretches between other characters stay in the run, since a
// conversion call has a fixed cost too. Both encodings are free of shift states,
// so converting run by run gives the same bytes as converting the whole text.
constexpr std::size_t kLongAscii = 32;

std::string ToAnsi(std::string_view utf8) {
    // Code page 932 never takes more bytes than UTF-8, so out never reallocates
    // and leaves no copies of a password behind.
    std::string out;
    out.reserve(utf8.size());
    std::size_t run = std::string_view::npos;  // start of the run not yet converted
    for (std::size_t pos = 0; pos < utf8.size();) {
        if (!IsAscii(utf8[pos])) {
            run = std::min(run, pos);
            ++pos;
            continue;
        }
        // A UTF-8 sequence holds no ASCII byte, so no character is cut in two.
        std::size_t end = pos;
        while (end < utf8.size() && IsAscii(utf8[end])) {
            ++end;
        }
        if (run != std::string_view::npos && end < utf8.size() && end - pos < kLongAscii) {
            pos = end;
            continue;
        }
        if (run != std::string_view::npos) {
            EncodeRun(utf8.substr(run, pos - run), out);
            run = std::string_view::npos;
        }
        out.append(utf8.substr(pos, end - pos));
        pos = end;
    }
    if (run != std::string_view::npos) {
        EncodeRun(utf8.substr(run), out);
    }
    return out;
}

std::string FromAnsi(std::string_view ansi) {
    if (std::all_of(ansi.begin(), ansi.end(), IsAscii)) {
        return std::string(ansi);
    }
    std::string out;
    out.reserve(ansi.size() * 3);
    std::size_t run = std::string_view::npos;  // start of the run not yet converted
    const auto flush = [&](std::size_t at) {
        if (run != std::string_view::npos) {
            DecodeRun(ansi.substr(run, at - run), out);
            run = std::string_view::npos;
        }
    };
    // Walked unit by unit: a trail byte may lie in the ASCII range.
    for (std::size_t pos = 0; pos < ansi.size();) {
        if (IsAscii(ansi[pos])) {
            std::size_t end = pos;
            while (end < ansi.size() && IsAscii(ansi[end])) {
                ++end;
            }
            if (run == std::string_view::npos || end == ansi.size() || end - pos >= kLongAscii) {
                flush(pos);
                out.append(ansi.substr(pos, end - pos));
            }
            pos = end;
            continue;
        }
        const std::size_t len = UnitLength(ansi, pos);
        if (len == 0) {
            flush(pos);
            out += kReplacementUtf8;  // a byte that starts no character
            ++pos;
            continue;
        }
        run = std::min(run, pos);
        pos += len;
    }
    flush(ansi.size());
    return out;
}

std::size_t AnsiLength(std::string_view utf8) {
    // Measured on every keystroke of a password box: the converted text goes too.
    std::string ansi = ToAnsi(utf8);
    const std::size_t length = ansi.size();
    SecureWipe(ansi);
    return length;
}

}  // namespace zorvan::codepage
