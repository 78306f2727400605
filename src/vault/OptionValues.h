#pragma once

#include <array>
#include <string>

#include "vault/SettingsStore.h"

namespace zorvan {

// What the options dialog stores on OK.
struct OptionValues {
    // Upper case, lower case, digits, symbols: on or off.
    std::array<bool, 4> classes{};
    std::string symbols;
    int minPassLen = 0;
    int maxPassLen = 0;
    int wait = 0;
    int transparency = 0;
    int clipboardClear = 0;
    int autoLock = 0;
    int expiryDays = 0;
};

// Writes the options key by key, in the order the file has always had them, each
// write whole on its own: a cut leaves every key its old or its new value.
void SaveOptions(const SettingsStore& store, const OptionValues& values);

}  // namespace zorvan
