#pragma once

#include <optional>
#include <string>
#include <string_view>

// Dates as the vault keeps them (days since 30 December 1899, the fraction being
// the time of day) and as CSV files write them: "yyyy/MM/dd".
namespace zorvan::csv {

// The earliest and latest day a date field can name: 0100/01/01 and 9999/12/31.
inline constexpr double kFirstDay = -657434.0;
inline constexpr double kLastDay = 2958465.0;

// Days since 30 December 1899 of a calendar date (not checked).
long long DaysFromCivil(int year, int month, int day);

// "yyyy/MM/dd" of the day the value falls on; empty when the value names no day
// between kFirstDay and kLastDay (a damaged record must not stop an export).
std::string FormatCsvDate(double days);

// The day of a date text: year, month and day separated by "/" (or "-"), the year
// of 3 or 4 digits, blanks around allowed; nothing when it is no real date.
std::optional<double> ParseCsvDate(std::string_view text);

// Today's date on the local clock, in days since 30 December 1899.
double TodayAsDays();

}  // namespace zorvan::csv
