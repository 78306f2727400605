#pragma once

#include <optional>
#include <string>
#include <string_view>

// The operating system's own conversion, strict: each returns nothing when any
// character cannot be converted exactly. Codepage.cpp builds the common rule on these.
namespace zorvan::codepage::native {

std::optional<std::string> Utf8ToCp932(std::string_view utf8);
std::optional<std::string> Cp932ToUtf8(std::string_view ansi);

}  // namespace zorvan::codepage::native
