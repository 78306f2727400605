#include "ui/dialogs/GeneratorBoxes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <string>

#include "ui/Text.h"
#include "ui/dialogs/PassClassSwitches.h"
#include "ui/dialogs/PassLenBoxes.h"
#include "vault/Settings.h"
#include "vault/SettingsStore.h"

namespace zorvan {

void GeneratorBoxes::Load(const std::filesystem::path& iniFile) const {
    const SettingsStore store(iniFile);
    for (std::size_t i = 0; i < classes.size(); ++i) {
        classes[i]->setChecked(ClassSwitch(store, *kClassKeys[i]));
    }
    symbols->setText(ToQ(store.Get(settings::kSymbols)));
    lengths->Load(SettingText(iniFile, settings::kMinPassLen),
                  SettingText(iniFile, settings::kMaxPassLen));
}

QString SettingText(const std::filesystem::path& iniFile, const settings::IntKey& key) {
    return ToQ(
        ReadSetting(iniFile, settings::kSection, key.name, std::to_string(key.defaultValue)));
}

}  // namespace zorvan
