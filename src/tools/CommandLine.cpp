#include "tools/CommandLine.h"

namespace zorvan {

namespace {

// One run of text between blanks, and where it starts in the line.
struct Piece {
    std::size_t at = 0;
    std::string_view text;
};

std::vector<Piece> SplitAtBlanks(std::string_view text) {
    std::vector<Piece> pieces;
    std::size_t start = 0;
    for (;;) {
        const auto blank = text.find(' ', start);
        pieces.push_back(
            {start, text.substr(start, blank == std::string_view::npos ? blank : blank - start)});
        if (blank == std::string_view::npos) {
            return pieces;
        }
        start = blank + 1;
    }
}

// An argument and the part of the line it was written in.
struct Argument {
    std::string text;
    ArgumentSpan span;
};

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

namespace {

std::vector<Argument> SplitWithSpans(std::string_view text) {
    if (text.find(' ') == std::string_view::npos) {
        return {{std::string(text), {0, text.size()}}};
    }
    const auto pieces = SplitAtBlanks(text);
    std::vector<Argument> arguments;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        if (piece.text.empty()) {
            continue;
        }
        if (piece.text.front() != '"') {
            arguments.push_back(
                {std::string(piece.text), {piece.at, piece.at + piece.text.size()}});
            continue;
        }
        std::string collected(piece.text.substr(1));
        // No \" pair spans a blank, so only the piece just added can close the
        // argument; looking at it alone keeps a long unclosed argument linear.
        bool closed = EndsWithClosingQuote(collected);
        std::size_t last = i;
        while (!closed && last + 1 < pieces.size()) {
            const std::string_view next = pieces[++last].text;
            collected += ' ';
            collected += next;
            closed = EndsWithClosingQuote(next);
        }
        if (closed) {
            collected.pop_back();
        }
        arguments.push_back(
            {Unescape(collected), {piece.at, pieces[last].at + pieces[last].text.size()}});
        i = last;
    }
    return arguments;
}

std::optional<std::size_t> FindPasswordIndex(std::size_t count, auto argumentAt) {
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (EqualsIgnoringCase(argumentAt(i), "/p")) {
            return i + 1;
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view text) {
    std::vector<std::string> texts;
    for (auto& argument : SplitWithSpans(text)) {
        texts.push_back(std::move(argument.text));
    }
    return texts;
}

std::optional<ArgumentSpan> FindPasswordSpan(std::string_view text) {
    const auto arguments = SplitWithSpans(text);
    const auto index = FindPasswordIndex(
        arguments.size(), [&](std::size_t i) -> std::string_view { return arguments[i].text; });
    if (!index) {
        return std::nullopt;
    }
    return arguments[*index].span;
}

std::size_t ArgumentsStart(std::string_view line) {
    std::size_t at = 0;
    if (!line.empty() && line.front() == '"') {
        const auto close = line.find('"', 1);
        at = close == std::string_view::npos ? line.size() : close + 1;
    } else {
        const auto blank = line.find(' ');
        at = blank == std::string_view::npos ? line.size() : blank;
    }
    while (at < line.size() && line[at] == ' ') {
        ++at;
    }
    return at;
}

std::optional<std::string> FindPasswordOption(const std::vector<std::string>& arguments) {
    const auto index = FindPasswordIndex(
        arguments.size(), [&](std::size_t i) -> std::string_view { return arguments[i]; });
    if (!index) {
        return std::nullopt;
    }
    return arguments[*index];
}

}  // namespace zorvan
