#include "app/CommandLine.h"

namespace zorvan {

namespace {

std::vector<std::string> SplitAtBlanks(std::string_view text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const auto blank = text.find(' ', start);
        pieces.emplace_back(
            text.substr(start, blank == std::string_view::npos ? blank : blank - start));
        if (blank == std::string_view::npos) {
            return pieces;
        }
        start = blank + 1;
    }
}

std::string WithoutEscapedQuotes(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '"') {
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '"') {
            continue;  // the quote itself is kept on the next step
        }
        out += text[i];
    }
    return out;
}

// Whether a quoted argument that reaches to the end of text is closed there.
bool EndsWithClosingQuote(std::string_view text) {
    const std::string plain = WithoutEscapedQuotes(text);
    return !plain.empty() && plain.back() == '"';
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view text) {
    if (text.find(' ') == std::string_view::npos) {
        return {std::string(text)};
    }
    const auto pieces = SplitAtBlanks(text);
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::string& piece = pieces[i];
        if (piece.empty()) {
            continue;
        }
        if (piece.front() != '"') {
            arguments.push_back(piece);
            continue;
        }
        std::string collected = piece.substr(1);
        // No \" pair spans a blank, so only the piece just added can close the
        // argument; looking at it alone keeps a long unclosed argument linear.
        bool closed = EndsWithClosingQuote(collected);
        while (!closed && i + 1 < pieces.size()) {
            const std::string& next = pieces[++i];
            collected += ' ';
            collected += next;
            closed = EndsWithClosingQuote(next);
        }
        if (closed) {
            collected.pop_back();
        }
        arguments.push_back(Unescape(collected));
    }
    return arguments;
}

std::optional<std::string> FindPasswordOption(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (EqualsIgnoringCase(arguments[i], "/p")) {
            return arguments[i + 1];
        }
    }
    return std::nullopt;
}

}  // namespace zorvan
