#include "vault/OptionValues.h"

namespace zorvan {

void SaveOptions(const SettingsStore& store, const OptionValues& values) {
    const settings::IntKey* classKeys[] = {&settings::kUpper, &settings::kLower, &settings::kNumber,
                                           &settings::kSymbol};
    for (std::size_t i = 0; i < values.classes.size(); ++i) {
        store.Set(*classKeys[i], values.classes[i] ? 1 : 0);
    }
    store.Set(settings::kSymbols, values.symbols);
    store.Set(settings::kMinPassLen, values.minPassLen);
    store.Set(settings::kMaxPassLen, values.maxPassLen);
    store.Set(settings::kWait, values.wait);
    store.Set(settings::kTransparency, values.transparency);
    // After the keys of old, which keep their order in the file.
    store.Set(settings::kClipboardClear, values.clipboardClear);
    store.Set(settings::kAutoLock, values.autoLock);
    store.Set(settings::kExpiryDays, values.expiryDays);
}

}  // namespace zorvan
