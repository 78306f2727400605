#pragma once

#include <QString>
#include <array>
#include <filesystem>

#include "vault/SettingsKeys.h"

class QCheckBox;
class QLineEdit;

namespace zorvan {

class PassLenBoxes;

// The generator's settings in the boxes that show them, the same in the item
// dialog's generator page and in the options dialog.
struct GeneratorBoxes {
    std::array<QCheckBox*, 4> classes{};  // upper, lower, digits, symbols
    QLineEdit* symbols = nullptr;
    PassLenBoxes* lengths = nullptr;

    void Load(const std::filesystem::path& iniFile) const;
};

// A number setting as the file holds it, its default when missing: the boxes show
// the text and check it themselves.
QString SettingText(const std::filesystem::path& iniFile, const settings::IntKey& key);

}  // namespace zorvan
