#include "vault/Settings.h"

#include <exception>
#include <optional>
#include <vector>

#include "vault/TextFile.h"

namespace zorvan {

namespace {

// Only the half-width space is a blank here; the ideographic space is text.
std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool StartsWith(std::string_view text, char c) {
    return !text.empty() && text.front() == c;
}

// True when the line is an entry of key: "key=..." with blanks allowed around key.
bool IsEntryOf(std::string_view line, std::string_view key) {
    const auto eq = line.find('=');
    return eq != std::string_view::npos && TrimBlanks(line.substr(0, eq)) == key;
}

std::string Header(std::string_view section) {
    std::string header;
    header.reserve(section.size() + 2);
    header.append("[").append(section).append("]");
    return header;
}

}  // namespace

std::string ReadSetting(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view def) {
    std::vector<std::string> lines;
    try {
        lines = textfile::ReadLines(file);
    } catch (const std::exception&) {
        return std::string(def);
    }
    const std::string header = Header(section);
    bool inSection = false;
    for (const auto& raw : lines) {
        const std::string_view line = TrimBlanks(raw);
        if (line == header) {
            inSection = true;
        } else if (StartsWith(line, '[')) {
            inSection = false;
        }
        if (!inSection || !IsEntryOf(line, key)) {
            continue;
        }
        return std::string(TrimBlanks(line.substr(line.find('=') + 1)));
    }
    return std::string(def);
}

void WriteSetting(const std::filesystem::path& file, std::string_view section, std::string_view key,
                  std::string_view value) {
    std::string entry;
    entry.append(key).append("=").append(value);
    std::string out;
    // No section after a line that begins with "[" but is no "[name]": ReadSetting
    // leaves the section there, so an entry below it would never be read back.
    std::optional<std::string> current = std::string();
    bool written = false;
    for (const auto& raw : textfile::ReadLines(file)) {
        const std::string_view line = TrimBlanks(raw);
        if (StartsWith(line, '[')) {
            if (current == section && !written) {
                out = textfile::AppendLine(std::move(out), entry);
                written = true;
            }
            if (line.size() >= 2 && line.back() == ']') {
                current = std::string(line.substr(1, line.size() - 2));
                out = textfile::AppendLine(std::move(out), Header(*current));
            } else {
                current.reset();
                out = textfile::AppendLine(std::move(out), line);
            }
        } else if (current == section && IsEntryOf(line, key)) {
            out = textfile::AppendLine(std::move(out), entry);
            written = true;
        } else {
            out = textfile::AppendLine(std::move(out), line);
        }
    }
    if (!written) {
        if (current != section) {
            out = textfile::AppendLine(std::move(out), Header(section));
        }
        out = textfile::AppendLine(std::move(out), entry);
    }
    textfile::Rewrite(file, out);
}

}  // namespace zorvan
