#include "support/Golden.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/TempDir.h"

namespace zorvan::test {

std::filesystem::path DataDir() {
    return std::filesystem::path(ZORVAN_TEST_DATA);
}

void CopySampleVault(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    for (const auto& entry : std::filesystem::directory_iterator(DataDir() / "vault-sample")) {
        std::filesystem::copy_file(entry.path(), folder / entry.path().filename(),
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

std::vector<std::uint8_t> FromHex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::string ToHex(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const auto b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

std::vector<std::vector<std::string>> ReadVectorLines(const std::string& name, char separator) {
    std::istringstream in(ReadBytes(DataDir() / name));
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (;;) {
            const auto end = line.find(separator, start);
            std::string field = line.substr(start, end == std::string::npos ? end : end - start);
            if (separator != '\t') {
                const auto first = field.find_first_not_of(' ');
                const auto last = field.find_last_not_of(' ');
                field = first == std::string::npos ? "" : field.substr(first, last - first + 1);
            }
            fields.push_back(field);
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
        rows.push_back(fields);
    }
    return rows;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'r' || text[i + 1] == 'n')) {
            out += text[++i] == 'r' ? '\r' : '\n';
        } else {
            out += text[i];
        }
    }
    return out;
}

namespace {

class JsonParser {
public:
    explicit JsonParser(const std::string& text) : text_(text) {}

    Json Value() {
        Skip();
        Json v;
        const char c = text_.at(pos_);
        if (c == '{' || c == '[') {
            const char close = c == '{' ? '}' : ']';
            v.kind = c == '{' ? Json::Kind::kObject : Json::Kind::kArray;
            ++pos_;
            Skip();
            if (text_.at(pos_) == close) {
                ++pos_;
                return v;
            }
            for (;;) {
                Skip();
                if (close == '}') {
                    std::string key = String();
                    Skip();
                    Expect(':');
                    v.object[key] = Value();
                } else {
                    v.array.push_back(Value());
                }
                Skip();
                if (text_.at(pos_++) == close) {
                    return v;
                }
            }
        }
        if (c == '"') {
            v.kind = Json::Kind::kString;
            v.string = String();
            return v;
        }
        if (text_.compare(pos_, 4, "null") == 0) {
            pos_ += 4;
            return v;
        }
        if (text_.compare(pos_, 4, "true") == 0 || text_.compare(pos_, 5, "false") == 0) {
            v.kind = Json::Kind::kBool;
            v.boolean = text_[pos_] == 't';
            pos_ += v.boolean ? 4 : 5;
            return v;
        }
        v.kind = Json::Kind::kNumber;
        std::size_t used = 0;
        v.number = std::stod(text_.substr(pos_), &used);
        pos_ += used;
        return v;
    }

private:
    void Skip() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) {
            ++pos_;
        }
    }
    void Expect(char c) {
        if (text_.at(pos_++) != c) {
            throw std::runtime_error("bad JSON");
        }
    }
    std::string String() {
        Expect('"');
        std::string out;
        while (text_.at(pos_) != '"') {
            char c = text_[pos_++];
            if (c == '\\') {
                const char e = text_.at(pos_++);
                c = e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e;
            }
            out += c;
        }
        ++pos_;
        return out;
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

}  // namespace

const Json& Json::operator[](const std::string& key) const {
    return object.at(key);
}

Json Json::Parse(const std::string& text) {
    return JsonParser(text).Value();
}

}  // namespace zorvan::test
