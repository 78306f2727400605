#pragma once

#include <optional>
#include <string>

namespace zorvan {

// A calendar date and time of day, to the second.
struct DateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const DateTimeParts&) const = default;
};

// Dates as the vault files store them: days since 30 December 1899 with the time of
// day as the fraction. Before that day the whole part counts backwards while the
// fraction still counts forward from midnight (-1.25 is 29 December, 06:00).
class OleDate {
public:
    // The first and last day the program shows: 100-01-01 and 9999-12-31.
    static constexpr double kMin = -657434.0;
    static constexpr double kMax = 2958466.0;  // exclusive

    static double FromParts(const DateTimeParts& parts);
    // Rounded to the nearest second; nothing for a value that is not a date between
    // the years 100 and 9999 (NaN, infinities, far out of range).
    static std::optional<DateTimeParts> ToParts(double date);

    // "yyyy/MM/dd hh:mm:ss", 24-hour clock.
    static std::string ListText(const DateTimeParts& parts);
    // "yyyymmdd-hhmmss".
    static std::string FileName(const DateTimeParts& parts);
};

}  // namespace zorvan
