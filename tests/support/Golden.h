#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Readers for the compatibility vectors in tests/data.
namespace zorvan::test {

std::filesystem::path DataDir();

// The four files of the sample vault copied into folder, which is made if missing.
void CopySampleVault(const std::filesystem::path& folder);
std::vector<std::uint8_t> FromHex(const std::string& hex);
std::string ToHex(const std::vector<std::uint8_t>& bytes);

// The data lines of a vector file (comments and blank lines dropped), each split
// at separator, fields trimmed of blanks.
std::vector<std::vector<std::string>> ReadVectorLines(const std::string& name, char separator);

// The escaped "\r" and "\n" of the vector files as the real characters.
std::string Unescape(const std::string& text);

// Just enough JSON for vault-sample.json.
struct Json {
    enum class Kind { kNull, kNumber, kString, kArray, kObject, kBool };
    Kind kind = Kind::kNull;
    double number = 0;
    bool boolean = false;
    std::string string;
    std::vector<Json> array;
    std::map<std::string, Json> object;

    const Json& operator[](const std::string& key) const;
    bool Has(const std::string& key) const { return object.count(key) != 0; }
    static Json Parse(const std::string& text);
};

}  // namespace zorvan::test
