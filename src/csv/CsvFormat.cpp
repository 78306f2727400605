#include "csv/CsvFormat.h"

#include <algorithm>
#include <limits>

#include "csv/CsvDate.h"
#include "platform/SecureWipe.h"
#include "tools/DecimalText.h"

namespace zorvan::csv {

namespace {

// Walks the comma-separated parts of a line front to back. Parsing only ever moves
// forward, so no part list is built: a line of a million commas costs no more than
// one pass over it.
class Parts {
public:
    explicit Parts(std::string_view line) : line_(line) {}

    // Whether a part k (counted from the current one) exists: "k <= u".
    bool HasCurrent() const { return at_ <= line_.size(); }
    std::size_t Start() const { return at_; }
    std::string_view Current() const { return line_.substr(at_, End() - at_); }
    // Offset just past the current part.
    std::size_t End() const {
        const auto comma = line_.find(',', at_);
        return comma == std::string_view::npos ? line_.size() : comma;
    }
    void Next() {
        const auto comma = line_.find(',', at_);
        at_ = comma == std::string_view::npos ? line_.size() + 1 : comma + 1;
    }
    std::string_view Slice(std::size_t from, std::size_t to) const {
        return line_.substr(from, to - from);
    }

private:
    std::string_view line_;
    std::size_t at_ = 0;
};

// Removing every doubled quote from text, left to right, leaves a quote at its end
// exactly when the run of quotes that ends the text is odd.
bool EndsWithLoneQuote(std::string_view text) {
    std::size_t run = 0;
    while (run < text.size() && text[text.size() - 1 - run] == '"') {
        ++run;
    }
    return run % 2 == 1;
}

// The output is sized before it is filled: a buffer that grew would leave a copy
// of the text (a password, say) behind in freed memory.
std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
    std::size_t found = 0;
    for (auto at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + what.size())) {
        ++found;
    }
    std::string out;
    out.reserve(text.size() - found * what.size() + found * with.size());
    std::size_t from = 0;
    for (auto at = text.find(what); at != std::string_view::npos; at = text.find(what, from)) {
        out.append(text.substr(from, at - from));
        out.append(with);
        from = at + what.size();
    }
    out.append(text.substr(from));
    return out;
}

bool NeedsQuotes(std::string_view value) {
    // One pass; find_first_of would search the set once per character.
    return std::any_of(value.begin(), value.end(), [](char c) { return c == ',' || c == '"'; });
}

// The length CsvQuote(value) has.
std::size_t QuotedLength(std::string_view value) {
    if (!NeedsQuotes(value)) {
        return value.size();
    }
    return value.size() + 2 + static_cast<std::size_t>(std::count(value.begin(), value.end(), '"'));
}

// Appends CsvQuote(value) to out, which has room for it.
void AppendQuoted(std::string& out, std::string_view value) {
    if (!NeedsQuotes(value)) {
        out.append(value);
        return;
    }
    out += '"';
    for (const char c : value) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

}  // namespace

std::string_view TrimCsvBlanks(std::string_view text) {
    return TrimSpacesAndTabs(text);
}

std::string CsvQuote(std::string_view value) {
    std::string out;
    out.reserve(QuotedLength(value));
    AppendQuoted(out, value);
    return out;
}

std::string EscapeMemo(std::string_view memo) {
    std::string crEscaped = ReplaceAll(memo, "\r", "\\r");
    std::string escaped = ReplaceAll(crEscaped, "\n", "\\n");
    SecureWipe(crEscaped);
    return escaped;
}

std::string FormatCsvLine(const ItemRecord& item) {
    std::string memo = EscapeMemo(item.AccountMemo);
    const std::string expire = std::to_string(item.Expire);
    const std::string date = FormatCsvDate(item.ExpireDate);
    const std::string_view fields[] = {
        item.ItemName, item.AccountID, item.AccountPass, item.RelatedURL, memo, expire, date};
    // Room for the fields, their commas and the line end the caller adds.
    std::size_t length = 8;
    for (const auto field : fields) {
        length += QuotedLength(field);
    }
    std::string line;
    line.reserve(length);
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        if (i > 0) {
            line += ',';
        }
        AppendQuoted(line, fields[i]);
    }
    SecureWipe(memo);
    return line;
}

std::optional<std::int32_t> ParseCsvNumber(std::string_view text) {
    using Limits = std::numeric_limits<std::int32_t>;
    // Saturating just past the range makes every longer number out of range too.
    const auto value = ParseDecimal(text, static_cast<long long>(Limits::max()) + 2);
    if (!value || *value > Limits::max() || *value < Limits::min()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}

ItemRecord ParseCsvLine(std::string_view line, double today) {
    ItemRecord item;
    item.ExpireDate = today;
    if (line.find(',') == std::string_view::npos) {
        item.ItemName = std::string(line);
        return item;
    }
    std::string* fields[] = {&item.ItemName, &item.AccountID, &item.AccountPass, &item.RelatedURL,
                             &item.AccountMemo};
    Parts parts(line);
    for (std::string* field : fields) {
        const std::string_view part = parts.Current();
        if (!part.empty() && part.front() == '"') {
            // The field runs over as many parts as it takes to reach a closing quote.
            const std::size_t from = parts.Start() + 1;
            while (!EndsWithLoneQuote(parts.Slice(from, parts.End()))) {
                parts.Next();
                if (!parts.HasCurrent()) {
                    break;
                }
            }
            if (!parts.HasCurrent()) {
                break;  // never closed: this and the later text fields stay empty
            }
            const std::string_view quoted = parts.Slice(from, parts.End() - 1);
            *field = ReplaceAll(quoted, "\"\"", "\"");
        } else {
            *field = std::string(part);
        }
        parts.Next();
        if (!parts.HasCurrent()) {
            break;
        }
    }
    if (!item.AccountMemo.empty()) {
        std::string crDone = ReplaceAll(item.AccountMemo, "\\r", "\r");
        std::string memo = ReplaceAll(crDone, "\\n", "\n");
        SecureWipe(crDone);
        SecureWipe(item.AccountMemo);
        item.AccountMemo = std::move(memo);
    }
    if (parts.HasCurrent()) {
        item.Expire = ParseCsvNumber(parts.Current()).value_or(0);
        parts.Next();
        if (parts.HasCurrent()) {
            item.ExpireDate = ParseCsvDate(parts.Current()).value_or(today);
        }
    }
    return item;
}

ItemRecord ParseCsvLine(std::string_view line) {
    return ParseCsvLine(line, TodayAsDays());
}

}  // namespace zorvan::csv
