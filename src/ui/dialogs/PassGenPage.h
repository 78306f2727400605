#pragma once

#include <QWidget>
#include <array>
#include <filesystem>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zorvan {

class PassLenBoxes;
class RandomSource;
class StrengthMeter;
class UiServices;

// The password generator, the second page of the item dialog: character classes,
// a length range, the generated password and the button that hands it to the
// item's password field. Its starting values come from the settings file, read once
// per opening; it never writes them back.
class PassGenPage : public QWidget {
    Q_OBJECT

public:
    PassGenPage(UiServices& ui, RandomSource& random, QWidget* parent = nullptr);
    ~PassGenPage() override;

    void LoadSettings(const std::filesystem::path& iniFile);

    // 0 "生成" (generate), 1 "適用" (apply).
    void cmdPassGen_Click(int index);
    // Returns false when nothing was generated: no class chosen, or no random bytes.
    bool Generate();
    void Apply();

    PassLenBoxes& lengths() const { return *lengths_; }
    QCheckBox* classBox(int index) const { return chkPassChar[static_cast<std::size_t>(index)]; }
    QLineEdit* symbolsBox() const { return txtSymbols; }
    QLineEdit* resultBox() const { return txtPassGen; }
    StrengthMeter* strengthMeter() const { return strengthMeter_; }
    QPushButton* button(int index) const { return cmdPassGen[static_cast<std::size_t>(index)]; }

signals:
    // The text of the result box, for the item's password field.
    void passwordApplied(const QString& password);

private:
    UiServices& ui_;
    RandomSource& random_;
    PassLenBoxes* lengths_ = nullptr;
    std::array<QLabel*, 2> lblPassLen{};
    std::array<QCheckBox*, 4> chkPassChar{};
    QLineEdit* txtSymbols = nullptr;
    std::array<QPushButton*, 2> cmdPassGen{};
    QLineEdit* txtPassGen = nullptr;
    StrengthMeter* strengthMeter_ = nullptr;
};

}  // namespace zorvan
