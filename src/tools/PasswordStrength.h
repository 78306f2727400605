#pragma once

#include <string_view>

namespace zorvan {

// How hard a password is to guess, for the meter under the password boxes and for
// the vault report. Built with libzxcvbn it counts dictionary words, keyboard
// patterns, dates and repeats; without it (the Windows builds) it falls back on the
// character classes used and the length.
class PasswordStrength {
public:
    enum class Level { kWeak, kFair, kStrong, kVeryStrong };

    struct Result {
        Level level = Level::kWeak;
        int bar = 0;        // 0..100, for a progress bar
        double bits = 0.0;  // log2 of the guesses an attacker needs
    };

    static Result Measure(std::string_view password);

    // zxcvbn's scores, from the guesses (2^bits) they stand for: under 10^6 guesses
    // (19.9 bits) scores 0 and 1, weak; under 10^8 (26.6 bits) score 2, fair; under
    // 10^10 (33.2 bits) score 3, strong; more, score 4, very strong.
    static Level LevelOf(double bits);
    // Each level fills a quarter of the bar; the last quarter runs up to twice the
    // very strong threshold, so that longer passwords still move the bar.
    static int BarOf(double bits);
    // 弱い, 普通, 強い, とても強い.
    static std::string_view Label(Level level);

    // Whether Measure uses libzxcvbn; the fallback rates dictionary words as highly
    // as random letters of the same length.
    static bool UsesZxcvbn();
    // The fallback: length in characters times log2 of the pool the classes used
    // add up to (lower, upper, digits, ASCII symbols, anything else).
    static double ClassBits(std::string_view password);
};

}  // namespace zorvan
