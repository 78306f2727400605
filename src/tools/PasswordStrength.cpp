#include "tools/PasswordStrength.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "platform/SecureWipe.h"

#if ZORVAN_HAVE_ZXCVBN
#include <zxcvbn.h>
#endif

namespace zorvan {
namespace {

// log2 of 10^6, 10^8 and 10^10 guesses: the score 2, 3 and 4 thresholds.
constexpr double kFairBits = 19.931568569324174;
constexpr double kStrongBits = 26.575424759098897;
constexpr double kVeryStrongBits = 33.219280948873624;

}  // namespace

PasswordStrength::Result PasswordStrength::Measure(std::string_view password) {
    Result result;
#if ZORVAN_HAVE_ZXCVBN
    // The library wants a zero-terminated copy; it is wiped afterwards.
    std::string text(password);
    result.bits = ZxcvbnMatch(text.c_str(), nullptr, nullptr);
    SecureWipe(text);
#else
    result.bits = ClassBits(password);
#endif
    result.level = LevelOf(result.bits);
    result.bar = BarOf(result.bits);
    return result;
}

PasswordStrength::Level PasswordStrength::LevelOf(double bits) {
    if (!(bits >= kFairBits)) {  // NaN included
        return Level::kWeak;
    }
    if (bits < kStrongBits) {
        return Level::kFair;
    }
    if (bits < kVeryStrongBits) {
        return Level::kStrong;
    }
    return Level::kVeryStrong;
}

int PasswordStrength::BarOf(double bits) {
    const double edges[] = {0, kFairBits, kStrongBits, kVeryStrongBits, 2 * kVeryStrongBits};
    if (!(bits > 0)) {
        return 0;
    }
    for (int quarter = 0; quarter < 4; ++quarter) {
        if (bits < edges[quarter + 1]) {
            const double within = (bits - edges[quarter]) / (edges[quarter + 1] - edges[quarter]);
            return static_cast<int>(std::lround(25 * (quarter + within)));
        }
    }
    return 100;
}

std::string_view PasswordStrength::Label(Level level) {
    switch (level) {
        case Level::kWeak:
            return "弱い";
        case Level::kFair:
            return "普通";
        case Level::kStrong:
            return "強い";
        case Level::kVeryStrong:
            return "とても強い";
    }
    return "弱い";
}

bool PasswordStrength::UsesZxcvbn() {
    return ZORVAN_HAVE_ZXCVBN != 0;
}

double PasswordStrength::ClassBits(std::string_view password) {
    bool lower = false, upper = false, digit = false, symbol = false, other = false;
    std::size_t characters = 0;
    for (const char c : password) {
        const auto byte = static_cast<std::uint8_t>(c);
        if ((byte & 0xC0) == 0x80) {
            continue;  // a UTF-8 continuation byte: same character
        }
        ++characters;
        if (byte >= 'a' && byte <= 'z') {
            lower = true;
        } else if (byte >= 'A' && byte <= 'Z') {
            upper = true;
        } else if (byte >= '0' && byte <= '9') {
            digit = true;
        } else if (byte > ' ' && byte < 0x7F) {
            symbol = true;
        } else {
            other = true;
        }
    }
    // Anything outside printable ASCII counts as a pool of 100: kana and kanji are
    // many more, but people pick them from far fewer.
    const int pool = 26 * lower + 26 * upper + 10 * digit + 32 * symbol + 100 * other;
    return pool == 0 ? 0.0 : static_cast<double>(characters) * std::log2(pool);
}

}  // namespace zorvan
