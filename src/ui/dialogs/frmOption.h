#pragma once

#include <QDialog>
#include <QRect>
#include <array>
#include <filesystem>

#include "vault/SettingsKeys.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QSlider;

namespace zorvan {

class PassLenBoxes;
class UiServices;
class UpDownBox;

// The options dialog: the password generator's defaults, the wait before
// auto-typing, the seconds after which a copy leaves the clipboard, the main
// window's opacity, and a button that stores the main window's position and
// size. OK writes everything; Cancel writes nothing.
class frmOption : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMinTransparency = 64;
    static constexpr int kMaxTransparency = 255;
    static constexpr int kMaxWait = 30;
    static constexpr int kMaxClipboardClear = 999;
    static constexpr int kMaxAutoLock = 999;
    static constexpr int kMaxExpiryDays = 365;

    // What the dialog shows and stores.
    struct Input {
        std::filesystem::path iniFile;
        bool topMost = false;
        QRect window;                  // the main window's frame position and client size
        bool protectedFormat = false;  // some defaults are stricter then
    };

    frmOption(Input input, UiServices& ui, QWidget* parent);

    // 0 "OK", 1 "キャンセル".
    void cmdExit_Click(int index);
    void cmdSetPos_Click();
    void updWait_UpClick();
    void updWait_DownClick();

    QCheckBox* classBox(int index) const { return chkPassChar[static_cast<std::size_t>(index)]; }
    QLineEdit* symbolsBox() const { return txtSymbols; }
    PassLenBoxes& lengths() const { return *lengths_; }
    UpDownBox* waitBox() const { return txtWait; }
    UpDownBox* clipboardClearBox() const { return txtClipboardClear; }
    UpDownBox* autoLockBox() const { return txtAutoLock; }
    UpDownBox* expiryDaysBox() const { return txtExpiryDays; }
    QSlider* slider() const { return sldTransparent; }
    QPushButton* setPosButton() const { return cmdSetPos; }
    QPushButton* button(int index) const { return cmdExit[static_cast<std::size_t>(index)]; }

signals:
    // OK chose the main window's opacity (and has stored it).
    void transparencyChosen(int level);

private:
    void Form_Load();
    // A number box's number, after putting the key's default into a box without
    // one.
    static int CheckNumber(UpDownBox* box, const settings::IntKey& key);
    // A number box under grid's last row, stepping from 0 to max.
    UpDownBox* AddNumberBox(QGridLayout* grid, const QString& caption, const settings::IntKey& key,
                            int max);
    // The key with the default that holds for this vault's format.
    settings::IntKey ForFormat(const settings::IntKey& key, int protectedDefault) const {
        return {key.name, input_.protectedFormat ? protectedDefault : key.defaultValue};
    }
    // One up/down step of a number box, or a beep where it would leave min..max.
    void StepNumber(UpDownBox* box, const settings::IntKey& key, int step, int max);
    // Writes every setting in order; throws when one cannot be written.
    void WriteSettings();

    Input input_;
    UiServices& ui_;

    std::array<QCheckBox*, 4> chkPassChar{};
    QLineEdit* txtSymbols = nullptr;
    PassLenBoxes* lengths_ = nullptr;
    UpDownBox* txtWait = nullptr;
    UpDownBox* txtClipboardClear = nullptr;
    UpDownBox* txtAutoLock = nullptr;
    UpDownBox* txtExpiryDays = nullptr;
    QSlider* sldTransparent = nullptr;
    QPushButton* cmdSetPos = nullptr;
    std::array<QPushButton*, 2> cmdExit{};
};

}  // namespace zorvan
