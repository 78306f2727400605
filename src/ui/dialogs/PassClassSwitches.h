#pragma once

#include <array>

#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"

namespace zorvan {

// The generator's character classes in the order of their check boxes: upper case,
// lower case, digits, symbols.
inline constexpr std::array<const settings::IntKey*, 4> kClassKeys{
    &settings::kUpper, &settings::kLower, &settings::kNumber, &settings::kSymbol};

// A class switch as stored: 1 on, 0 off, anything else the key's default.
inline bool ClassSwitch(const SettingsStore& store, const settings::IntKey& key) {
    const int value = store.Get(key);
    return (value == 0 || value == 1) ? value == 1 : key.defaultValue == 1;
}

}  // namespace zorvan
