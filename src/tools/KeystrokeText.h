#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/KeyInjector.h"

namespace zorvan {

// The texts that auto-type sends, in the keystroke syntax: a character in braces
// is typed as that character ("{+}", "{{}", "{}}"), a key name in braces presses
// that key ("{TAB}", "{ENTER}", any case), "~" presses Enter, and every other
// character is typed as itself. Texts are UTF-8.
class KeystrokeText {
public:
    // The auto-type menu's entries, by index.
    static constexpr int kIdTabPass = 0;
    static constexpr int kId = 1;
    static constexpr int kPass = 2;
    static constexpr int kPassWithoutDashes = 3;
    static constexpr int kPassDashesAsTabs = 4;
    static constexpr int kEntryCount = 5;

    // The raw text of an entry: ID TAB PASS, ID, PASS, PASS without "-", or PASS
    // with each "-" turned into TAB. Empty for an index outside 0 to 4.
    static std::string RawText(int entry, std::string_view id, std::string_view password);

    // The raw text with every character that the syntax would take as a command
    // put in braces (+ ^ % ~ ( ) [ ] { }) and each TAB written "{TAB}".
    static std::string Quote(std::string_view raw);

    // The keys a keystroke text types, in order. Never fails: a brace that opens
    // no known key or quoted character, unknown key names and stray command
    // characters (+ ^ % ( ) [ ]) are typed as themselves, and bytes that are not
    // UTF-8 as U+FFFD. A TAB character presses the Tab key.
    static std::vector<KeyAction> Parse(std::string_view text);

    // Zeroes the keys' memory and empties the list.
    static void Wipe(std::vector<KeyAction>& keys) noexcept;
};

}  // namespace zorvan
