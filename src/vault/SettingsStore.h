#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "vault/SettingsKeys.h"

namespace zorvan {

// Typed access to the program's section of the settings file. Reads convert the
// stored text to the key's type and fall back to its default when the text does
// not fit; writes store the text forms "True"/"False", decimal digits, or the text.
class SettingsStore {
public:
    explicit SettingsStore(std::filesystem::path iniFile) : iniFile_(std::move(iniFile)) {}

    bool Get(const settings::BoolKey& key) const;
    int Get(const settings::IntKey& key) const;
    // With a default known only at run time.
    int Get(const settings::IntKey& key, int fallback) const;
    std::string Get(const settings::TextKey& key) const;

    void Set(const settings::BoolKey& key, bool value) const;
    void Set(const settings::IntKey& key, int value) const;
    void Set(const settings::TextKey& key, std::string_view value) const;

    // Text forms, as the file stores them.
    static std::string BoolText(bool value) { return value ? "True" : "False"; }
    // The stored text as a 16-bit integer, or nothing when it is not one.
    static std::optional<int> ParseInt16(std::string_view text);
    static std::optional<bool> ParseBool(std::string_view text);

    const std::filesystem::path& file() const noexcept { return iniFile_; }

private:
    std::filesystem::path iniFile_;
};

}  // namespace zorvan
