#include "tools/PasswordGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/RandomSource.h"
#include "tools/DecimalText.h"

namespace zorvan {

namespace {

constexpr int kInt16Min = -32768;
constexpr int kInt16Max = 32767;

// One length box: the default for no number, the nearer limit outside 1..128.
void CheckBox(std::string& text, int fallback) {
    const auto value = PasswordGenerator::ParseNumber(text);
    if (!value) {
        text = std::to_string(fallback);
    } else if (*value < PasswordGenerator::kShortest) {
        text = std::to_string(PasswordGenerator::kShortest);
    } else if (*value > PasswordGenerator::kLongest) {
        text = std::to_string(PasswordGenerator::kLongest);
    }
}

// Halves go to the even neighbour, independent of the floating-point rounding mode.
double RoundHalfEven(double x) {
    const double below = std::floor(x);
    const double fraction = x - below;
    if (fraction > 0.5) {
        return below + 1;
    }
    if (fraction < 0.5) {
        return below;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1;
}

// Bytes of the UTF-8 sequence starting at text[at], or 1 when it is not a valid one.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    }
    if (at + length > text.size()) {
        return 1;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return length;
}

}  // namespace

std::optional<int> PasswordGenerator::ParseNumber(std::string_view text) {
    // Saturate early: only the side of a huge number matters.
    const auto value = ParseDecimal(text, 1LL << 20);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<int>(std::clamp<long long>(*value, kInt16Min, kInt16Max));
}

void PasswordGenerator::CheckPassLen(std::string& minText, std::string& maxText) {
    CheckBox(minText, kDefaultMin);
    CheckBox(maxText, kDefaultMax);
    if (*ParseNumber(minText) > *ParseNumber(maxText)) {
        maxText = minText;
    }
}

bool PasswordGenerator::StepLength(std::string& minText, std::string& maxText, int index,
                                   Step step) {
    CheckPassLen(minText, maxText);
    std::string& box = index == 0 ? minText : maxText;
    const int value = *ParseNumber(box) + (step == Step::kUp ? 1 : -1);
    if (value < kShortest || value > kLongest) {
        return false;
    }
    box = std::to_string(value);
    if (*ParseNumber(maxText) < *ParseNumber(minText)) {
        if (step == Step::kUp) {
            maxText = minText;
        } else {
            minText = maxText;
        }
    }
    return true;
}

std::vector<std::string> PasswordGenerator::BuildPool(const Classes& classes,
                                                      std::string& symbols) {
    std::string joined;
    if (classes.upper) {
        joined += kUpperCase;
    }
    if (classes.lower) {
        joined += kLowerCase;
    }
    if (classes.number) {
        joined += kDigits;
    }
    if (classes.symbol) {
        if (symbols.empty()) {
            symbols = kDefaultSymbols;
        }
        joined += symbols;
    }
    std::vector<std::string> pool = SplitCharacters(joined);
    // Control characters (a pasted line break, say) cannot be typed back into a
    // password box and line breaks are dropped when an item is stored.
    std::erase_if(pool, [](const std::string& c) {
        return c.size() == 1 && (static_cast<unsigned char>(c[0]) < 0x20 || c[0] == 0x7F);
    });
    return pool;
}

int PasswordGenerator::DrawLength(int min, int max, RandomSource& random) {
    const double r = random.NextDouble();
    const double length = RoundHalfEven(min + static_cast<double>(max - min) * r);
    // A source that breaks its [0, 1) promise must not break the length range.
    return static_cast<int>(std::clamp(length, double(std::min(min, max)), double(max)));
}

std::string PasswordGenerator::Generate(const std::vector<std::string>& pool, int min, int max,
                                        RandomSource& random) {
    std::string password;
    if (pool.empty()) {
        return password;
    }
    const int length = DrawLength(min, max, random);
    const auto size = static_cast<double>(pool.size());
    password.reserve(static_cast<std::size_t>(length) * 4);
    for (int i = 0; i < length; ++i) {
        const double position = std::floor(random.NextDouble() * size);
        const auto at = static_cast<std::size_t>(std::clamp(position, 0.0, size - 1));
        password += pool[at];
    }
    return password;
}

std::vector<std::string> PasswordGenerator::SplitCharacters(std::string_view utf8) {
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = SequenceLength(utf8, at);
        characters.emplace_back(utf8.substr(at, length));
        at += length;
    }
    return characters;
}

}  // namespace zorvan
