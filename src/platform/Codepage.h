#pragma once

#include <string>
#include <string_view>

// Conversion between the program's texts (UTF-8 in memory) and code page 932
// (Shift-JIS as Windows defines it), the encoding of every file the vault keeps.
//
// One rule on every platform for what code page 932 cannot represent:
//  - Encoding: a few characters that Japanese input methods outside Windows type in
//    place of their code page 932 twins are stored as those twins (WAVE DASH U+301C as
//    U+FF5E, DOUBLE VERTICAL LINE U+2016 as U+2225, MINUS SIGN U+2212 as U+FF0D,
//    EM DASH U+2014 as U+2015, CENT/POUND/NOT SIGN U+00A2/U+00A3/U+00AC as U+FFE0/
//    U+FFE1/U+FFE2). Any other character without an exact, reversible code becomes
//    one "?" (0x3F); no "best fit" look-alikes are used. Invalid UTF-8 bytes become
//    "?" each.
//  - Decoding: a byte sequence that is not a valid code page 932 character (a lone
//    lead byte, a bad trail byte, 0x80, 0xA0, 0xFD-0xFF, or an unassigned code)
//    becomes U+FFFD, one per offending byte or pair; everything else decodes exactly.
// Every text that code page 932 can hold therefore survives a round trip unchanged.
namespace zorvan::codepage {

// UTF-8 text to code page 932 bytes.
std::string ToAnsi(std::string_view utf8);

// Code page 932 bytes to UTF-8 text.
std::string FromAnsi(std::string_view ansi);

// Number of code page 932 bytes the text takes; what length limits are counted in.
std::size_t AnsiLength(std::string_view utf8);

// Appends the character as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace zorvan::codepage
