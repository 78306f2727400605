#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvan {

// Splits a raw command line at blanks. An argument that begins with a double quote
// runs to the piece that ends with an unescaped closing quote, blanks included; the
// quotes are dropped and every \" inside becomes ". A quote that never closes takes
// the rest of the line, whose last character is kept.
std::vector<std::string> SplitCommandLine(std::string_view text);

// The password that follows "/p" (any case) among the arguments, if one does. "/p"
// as the last argument gives nothing.
std::optional<std::string> FindPasswordOption(const std::vector<std::string>& arguments);

}  // namespace zorvan
