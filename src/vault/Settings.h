#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The settings file: an INI-style text file of "[section]" headers and
// "key=value" entries. Keys and sections are case-sensitive; half-width blanks
// around lines and around keys and values are ignored on reading.
namespace zorvan {

// The value of key in section, or def when the key is absent or the file cannot
// be read. The first matching entry wins. A missing file is created empty.
std::string ReadSetting(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view def);

// Stores key=value: every entry of the key in the section is replaced in place; a
// new key goes at the end of its section, a new section at the end of the file.
// All other lines keep their order. Throws StorageError when the file cannot be
// written.
void WriteSetting(const std::filesystem::path& file, std::string_view section, std::string_view key,
                  std::string_view value);

}  // namespace zorvan
