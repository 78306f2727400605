#pragma once

#include <optional>
#include <string_view>

namespace zorvan {

// Spaces and tabs around a value, as typed into a number box or a CSV field.
std::string_view TrimSpacesAndTabs(std::string_view text);

// Blanks, an optional sign and decimal digits, nothing else. The magnitude
// saturates at limit, so a number of any length is read without overflow; the
// caller decides what a saturated value means.
std::optional<long long> ParseDecimal(std::string_view text, long long limit);

}  // namespace zorvan
