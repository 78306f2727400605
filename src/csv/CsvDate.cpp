#include "csv/CsvDate.h"

#include "csv/CsvFormat.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace zorvan::csv {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromEpoch(long long y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

struct Civil {
    long long year;
    unsigned month;
    unsigned day;
};

Civil CivilFromEpoch(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<long long>(yoe) + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

const long long kDayZero = DaysFromEpoch(1899, 12, 30);

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Reads 1 to maxDigits decimal digits at text[pos]; -1 when there are none.
int ReadNumber(std::string_view text, std::size_t& pos, std::size_t maxDigits,
               std::size_t& digits) {
    int value = 0;
    digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (++digits > maxDigits) {
            return -1;
        }
        value = value * 10 + (text[pos++] - '0');
    }
    return digits == 0 ? -1 : value;
}

}  // namespace

long long DaysFromCivil(int year, int month, int day) {
    return DaysFromEpoch(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kDayZero;
}

std::string FormatCsvDate(double days) {
    if (!std::isfinite(days)) {
        return {};
    }
    // The day part of a stored date-time: its time of day counts away from zero.
    const double whole = std::trunc(days);
    if (whole < kFirstDay || whole > kLastDay) {
        return {};
    }
    const Civil civil = CivilFromEpoch(static_cast<long long>(whole) + kDayZero);
    char text[32];
    std::snprintf(text, sizeof text, "%04lld/%02u/%02u", civil.year, civil.month, civil.day);
    return text;
}

std::optional<double> ParseCsvDate(std::string_view text) {
    text = TrimCsvBlanks(text);
    std::size_t pos = 0;
    std::size_t digits = 0;
    const int year = ReadNumber(text, pos, 4, digits);
    if (year < 0 || digits < 3 || pos >= text.size() || (text[pos] != '/' && text[pos] != '-')) {
        return std::nullopt;
    }
    const char separator = text[pos++];
    const int month = ReadNumber(text, pos, 2, digits);
    if (month < 0 || pos >= text.size() || text[pos] != separator) {
        return std::nullopt;
    }
    ++pos;
    const int day = ReadNumber(text, pos, 2, digits);
    if (day < 0 || pos != text.size()) {
        return std::nullopt;
    }
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        return std::nullopt;
    }
    return static_cast<double>(DaysFromCivil(year, month, day));
}

double TodayAsDays() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return static_cast<double>(
        DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday));
}

}  // namespace zorvan::csv
