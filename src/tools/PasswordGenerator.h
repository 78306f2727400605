#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvan {

class RandomSource;

// The password generator's rules, shared by the item dialog's generator page and
// the options dialog: correcting the two length boxes, stepping them, joining the
// chosen character classes into a pool and drawing a password from it.
class PasswordGenerator {
public:
    static constexpr int kShortest = 1;
    static constexpr int kLongest = 128;
    // What a length box that does not hold a number becomes.
    static constexpr int kDefaultMin = 6;
    static constexpr int kDefaultMax = 8;

    static constexpr std::string_view kUpperCase = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static constexpr std::string_view kLowerCase = "abcdefghijklmnopqrstuvwxyz";
    static constexpr std::string_view kDigits = "0123456789";
    static constexpr std::string_view kDefaultSymbols = "_-#$%";

    // Which classes take part, in pool order.
    struct Classes {
        bool upper = true;
        bool lower = true;
        bool number = true;
        bool symbol = false;
    };

    enum class Step { kUp, kDown };

    // A decimal integer with optional blanks around it and an optional sign, or
    // nothing. Numbers beyond the 16-bit range keep their side: they come back as
    // -32768 or 32767.
    static std::optional<int> ParseNumber(std::string_view text);

    // Normalises the two length boxes, minimum first: no number gives the default,
    // below 1 gives 1, above 128 gives 128, anything else stays as typed; then a
    // maximum below the minimum takes the minimum's text.
    static void CheckPassLen(std::string& minText, std::string& maxText);

    // One spinner step of box index (0 minimum, 1 maximum) after CheckPassLen.
    // Returns false, changing nothing more, when the step would leave 1..128.
    // Raising the minimum pushes the maximum up; lowering the maximum pulls the
    // minimum down.
    static bool StepLength(std::string& minText, std::string& maxText, int index, Step step);

    // The chosen classes joined in order, one element per character (UTF-8), without
    // control characters. An empty symbol set is first replaced by the default one,
    // as the user sees.
    static std::vector<std::string> BuildPool(const Classes& classes, std::string& symbols);

    // min + (max - min) * r rounded to the nearest integer, ties to even: both ends
    // are half as likely as each length between them.
    static int DrawLength(int min, int max, RandomSource& random);

    // A password of DrawLength characters, each drawn independently and uniformly
    // from the pool (a character listed twice is twice as likely). The pool must not
    // be empty; min and max must be corrected lengths.
    static std::string Generate(const std::vector<std::string>& pool, int min, int max,
                                RandomSource& random);

    // The UTF-8 text split into characters; a byte that starts no valid sequence
    // stands alone.
    static std::vector<std::string> SplitCharacters(std::string_view utf8);
};

}  // namespace zorvan
