#include "vault/SettingsStore.h"

#include <charconv>
#include <cstdint>

#include "vault/Settings.h"

namespace zorvan {

namespace {
constexpr std::string_view kAbsent = "\x01";  // never a stored value: lines hold no control bytes

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}
}  // namespace

std::optional<int> SettingsStore::ParseInt16(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
        value < INT16_MIN || value > INT16_MAX) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> SettingsStore::ParseBool(std::string_view text) {
    if (EqualsIgnoringCase(text, "True")) {
        return true;
    }
    if (EqualsIgnoringCase(text, "False")) {
        return false;
    }
    if (const auto number = ParseInt16(text)) {
        return *number != 0;
    }
    return std::nullopt;
}

bool SettingsStore::Get(const settings::BoolKey& key) const {
    const auto text = ReadSetting(iniFile_, settings::kSection, key.name, kAbsent);
    return ParseBool(text).value_or(key.defaultValue);
}

int SettingsStore::Get(const settings::IntKey& key) const {
    return Get(key, key.defaultValue);
}

int SettingsStore::Get(const settings::IntKey& key, int fallback) const {
    const auto text = ReadSetting(iniFile_, settings::kSection, key.name, kAbsent);
    return ParseInt16(text).value_or(fallback);
}

std::string SettingsStore::Get(const settings::TextKey& key) const {
    return ReadSetting(iniFile_, settings::kSection, key.name, key.defaultValue);
}

void SettingsStore::Set(const settings::BoolKey& key, bool value) const {
    WriteSetting(iniFile_, settings::kSection, key.name, BoolText(value));
}

void SettingsStore::Set(const settings::IntKey& key, int value) const {
    WriteSetting(iniFile_, settings::kSection, key.name, std::to_string(value));
}

void SettingsStore::Set(const settings::TextKey& key, std::string_view value) const {
    WriteSetting(iniFile_, settings::kSection, key.name, value);
}

}  // namespace zorvan
