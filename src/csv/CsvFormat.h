#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vault/ItemRecord.h"

// The CSV line format of the import and export: seven comma-separated fields per
// item (name, user ID, password, URL, memo, expiry flags, expiry date), no header.
// Texts here are UTF-8; the files are code page 932 with CR LF.
namespace zorvan::csv {

// The text without the blanks and tabs around it, as fields are read.
std::string_view TrimCsvBlanks(std::string_view text);

// A field as written: empty stays empty; a value holding a comma or a double quote
// is enclosed in double quotes with each double quote doubled; anything else is
// written as it is (blanks are neither quoted nor trimmed).
std::string CsvQuote(std::string_view value);

// The memo with every CR written as the two characters "\r", then every LF as "\n",
// so that it fits on one line.
std::string EscapeMemo(std::string_view memo);

// The line of an item, without its terminator.
std::string FormatCsvLine(const ItemRecord& item);

// The seven values of one line (without its terminator). A line without a comma
// is all name. Quoted fields may hold commas; a quote that is never closed leaves
// that field and the following text fields empty. Fields 6 and 7 are read as they
// stand: a whole 32-bit number (else 0) and a date (else today). Parts after the
// seventh are ignored.
ItemRecord ParseCsvLine(std::string_view line, double today);
ItemRecord ParseCsvLine(std::string_view line);

// A whole decimal number that fits 32 bits, with an optional sign and blanks around.
std::optional<std::int32_t> ParseCsvNumber(std::string_view text);

}  // namespace zorvan::csv
