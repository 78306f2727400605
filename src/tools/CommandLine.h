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

// Where an argument was written in a command line: [begin, end), quotes included.
struct ArgumentSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool operator==(const ArgumentSpan&) const = default;
};

// Where in a command line the password lies that FindPasswordOption would find
// among SplitCommandLine's arguments, so that it can be blanked there.
std::optional<ArgumentSpan> FindPasswordSpan(std::string_view text);

// Where the arguments start in a whole Windows command line: after the program's
// name, which may be quoted, and the blanks that follow it.
std::size_t ArgumentsStart(std::string_view line);

}  // namespace zorvan
