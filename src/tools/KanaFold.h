#pragma once

#include <string>
#include <string_view>

namespace zorvan {

// Text folded for find-as-you-type, so that the ways Japanese users type the same
// word compare equal: letters lose their case (ASCII, Latin-1, Greek, Cyrillic),
// full-width ASCII and the ideographic space become ASCII, half-width katakana
// become full-width, hiragana become katakana, and a kana followed by a voiced or
// semi-voiced sound mark (half-width, spacing or combining) becomes the one
// precomposed character (ｶﾞ, か + U+3099 and が all give ガ). Bytes that start no
// valid UTF-8 sequence are kept as they are. The folded text is never longer
// than the text. Tables over the Unicode ranges rather
// than a full normalisation library: fast, and enough for names, IDs and URLs.
std::string KanaFold(std::string_view utf8);

// Appends the folded text to out, for callers that fold many texts into one buffer.
void AppendKanaFold(std::string_view utf8, std::string& out);

}  // namespace zorvan
