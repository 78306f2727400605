#include "vault/OleDate.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace zorvan {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0));
}

constexpr std::int64_t kEpoch = DaysFromCivil(1899, 12, 30);

}  // namespace

double OleDate::FromParts(const DateTimeParts& p) {
    const auto days =
        DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) -
        kEpoch;
    const double time = static_cast<double>(p.hour * 3600 + p.minute * 60 + p.second) /
                        static_cast<double>(kSecondsPerDay);
    // Before the epoch the fraction is added to the magnitude.
    return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

std::optional<DateTimeParts> OleDate::ToParts(double date) {
    if (!std::isfinite(date) || date <= kMin - 1.0 || date >= kMax) {
        return std::nullopt;
    }
    std::int64_t days = static_cast<std::int64_t>(date);  // towards zero
    std::int64_t seconds = std::llround(std::fabs(date - static_cast<double>(days)) *
                                        static_cast<double>(kSecondsPerDay));
    if (seconds >= kSecondsPerDay) {  // rounded up to the next midnight, either side
        seconds -= kSecondsPerDay;
        days += 1;
    }
    if (static_cast<double>(days) < kMin || static_cast<double>(days) >= kMax) {
        return std::nullopt;
    }
    DateTimeParts parts;
    CivilFromDays(days + kEpoch, parts.year, parts.month, parts.day);
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

std::string OleDate::ListText(const DateTimeParts& p) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", p.year, p.month, p.day,
                  p.hour, p.minute, p.second);
    return text;
}

std::string OleDate::FileName(const DateTimeParts& p) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", p.year, p.month, p.day, p.hour,
                  p.minute, p.second);
    return text;
}

}  // namespace zorvan
