#include "ui/dialogs/frmOption.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>
#include <exception>

#include "tools/PasswordGenerator.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/WindowServices.h"
#include "ui/dialogs/DialogConventions.h"
#include "ui/dialogs/GeneratorBoxes.h"
#include "ui/dialogs/PassClassSwitches.h"
#include "ui/dialogs/PassLenBoxes.h"
#include "ui/dialogs/UpDownBox.h"
#include "vault/OptionValues.h"
#include "vault/Settings.h"
#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"

namespace zorvan {

namespace {

// The wait and the clearing seconds take up to three digits.
constexpr int kNumberDigits = 3;

// A settings value is one line of the file: line breaks would cut it.
std::string OneLine(const QString& text) {
    QString line = text;
    line.remove(QLatin1Char('\r'));
    line.remove(QLatin1Char('\n'));
    return FromQ(line);
}

}  // namespace

frmOption::frmOption(Input input, UiServices& ui, QWidget* parent)
    : QDialog(parent), input_(std::move(input)), ui_(ui) {
    setObjectName(QStringLiteral("frmOption"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(QStringLiteral("オプション"));

    auto* fraDefPassSetting = new QGroupBox(QStringLiteral("パスワード生成の初期設定"), this);
    auto* classes = new QHBoxLayout;
    const QString captions[] = {QStringLiteral("大文字"), QStringLiteral("小文字"),
                                QStringLiteral("数字"), QStringLiteral("記号")};
    for (int i = 0; i < 4; ++i) {
        auto* box = new QCheckBox(captions[i], fraDefPassSetting);
        box->setObjectName(QStringLiteral("chkPassChar%1").arg(i));
        chkPassChar[static_cast<std::size_t>(i)] = box;
        classes->addWidget(box);
    }
    txtSymbols = new QLineEdit(fraDefPassSetting);
    txtSymbols->setObjectName(QStringLiteral("txtSymbols"));
    classes->addWidget(txtSymbols, 1);
    lengths_ = new PassLenBoxes(ui_, fraDefPassSetting);
    auto* lengthRow = new QHBoxLayout;
    const QString lengthCaptions[] = {QStringLiteral("最低文字数"), QStringLiteral("最高文字数")};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(lengthCaptions[i], fraDefPassSetting);
        label->setBuddy(lengths_->box(i));
        lengthRow->addWidget(label);
        lengthRow->addWidget(lengths_->box(i));
    }
    lengthRow->addStretch();
    auto* frame = new QVBoxLayout(fraDefPassSetting);
    frame->addLayout(classes);
    frame->addLayout(lengthRow);

    auto* grid = new QGridLayout;
    txtWait = new UpDownBox(kNumberDigits, this);
    txtWait->setObjectName(QStringLiteral("txtWait"));
    connect(txtWait, &UpDownBox::upClick, this, &frmOption::updWait_UpClick);
    connect(txtWait, &UpDownBox::downClick, this, &frmOption::updWait_DownClick);
    auto* waitLabel = new QLabel(QStringLiteral("定型貼付の待機時間(秒)"), this);
    waitLabel->setBuddy(txtWait);
    grid->addWidget(waitLabel, 0, 0);
    grid->addWidget(txtWait, 0, 1, Qt::AlignLeft);
    txtClipboardClear =
        AddNumberBox(grid, QStringLiteral("クリップボードの消去（秒）"),
                     ForFormat(settings::kClipboardClear, settings::kClipboardClearProtected),
                     kMaxClipboardClear);
    txtClipboardClear->setObjectName(QStringLiteral("txtClipboardClear"));
    txtClipboardClear->setToolTip(
        QStringLiteral("コピーした内容をこの秒数の後と終了時にクリップボードから消します。"
                       "0 で消しません。その間に別の内容をコピーした場合は消しません。"));
    sldTransparent = new QSlider(Qt::Horizontal, this);
    sldTransparent->setObjectName(QStringLiteral("sldTransparent"));
    sldTransparent->setRange(kMinTransparency, kMaxTransparency);
    sldTransparent->setSingleStep(8);
    sldTransparent->setPageStep(64);
    sldTransparent->setTickPosition(QSlider::TicksBelow);
    sldTransparent->setTickInterval(64);
    auto* sliderLabel = new QLabel(QStringLiteral("透明度"), this);
    sliderLabel->setBuddy(sldTransparent);
    grid->addWidget(sliderLabel, 2, 0);
    grid->addWidget(sldTransparent, 2, 1);
    txtAutoLock =
        AddNumberBox(grid, QStringLiteral("自動ロック（分）"),
                     ForFormat(settings::kAutoLock, settings::kAutoLockProtected), kMaxAutoLock);
    txtAutoLock->setObjectName(QStringLiteral("txtAutoLock"));
    txtAutoLock->setToolTip(
        QStringLiteral("この分数のあいだ操作がないとき、ウインドウを隠して鍵を消し、"
                       "パスワードを尋ねます。0 でロックしません。"));
    txtExpiryDays =
        AddNumberBox(grid, QStringLiteral("期限間近の日数"), settings::kExpiryDays, kMaxExpiryDays);
    txtExpiryDays->setObjectName(QStringLiteral("txtExpiryDays"));

    cmdSetPos = new QPushButton(QStringLiteral("ウインドウ位置の保存"), this);
    cmdSetPos->setAutoDefault(false);
    connect(cmdSetPos, &QPushButton::clicked, this, &frmOption::cmdSetPos_Click);
    cmdExit[0] = new QPushButton(QStringLiteral("OK"), this);
    cmdExit[1] = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdExit[0]->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSetPos);
    buttons->addStretch();
    for (int i = 0; i < 2; ++i) {
        buttons->addWidget(cmdExit[static_cast<std::size_t>(i)]);
        connect(cmdExit[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { cmdExit_Click(i); });
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraDefPassSetting);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    DialogConventions::Install(*this);
    Form_Load();
}

void frmOption::Form_Load() {
    DialogConventions::KeepOnTop(*this, input_.topMost);
    const auto& iniFile = input_.iniFile;
    GeneratorBoxes{chkPassChar, txtSymbols, lengths_}.Load(iniFile);
    txtWait->setBoxText(SettingText(iniFile, settings::kWait));
    txtClipboardClear->setBoxText(SettingText(
        iniFile, ForFormat(settings::kClipboardClear, settings::kClipboardClearProtected)));
    txtAutoLock->setBoxText(
        SettingText(iniFile, ForFormat(settings::kAutoLock, settings::kAutoLockProtected)));
    txtExpiryDays->setBoxText(SettingText(iniFile, settings::kExpiryDays));
    sldTransparent->setValue(
        std::max(SettingsStore(iniFile).Get(settings::kTransparency), kMinTransparency));
}

UpDownBox* frmOption::AddNumberBox(QGridLayout* grid, const QString& caption,
                                   const settings::IntKey& key, int max) {
    auto* box = new UpDownBox(kNumberDigits, this);
    connect(box, &UpDownBox::upClick, this,
            [this, box, key, max] { StepNumber(box, key, 1, max); });
    connect(box, &UpDownBox::downClick, this,
            [this, box, key, max] { StepNumber(box, key, -1, max); });
    auto* label = new QLabel(caption, this);
    label->setBuddy(box);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1, Qt::AlignLeft);
    return box;
}

int frmOption::CheckNumber(UpDownBox* box, const settings::IntKey& key) {
    const auto value = PasswordGenerator::ParseNumber(FromQ(box->boxText()));
    if (!value) {
        box->setBoxText(QString::number(key.defaultValue));
        return key.defaultValue;
    }
    return *value;
}

void frmOption::StepNumber(UpDownBox* box, const settings::IntKey& key, int step, int max) {
    const int value = CheckNumber(box, key) + step;
    if (value < 0 || value > max) {
        ui_.Beep();
        return;
    }
    box->setBoxText(QString::number(value));
}

void frmOption::updWait_UpClick() {
    StepNumber(txtWait, settings::kWait, 1, kMaxWait);
}

void frmOption::updWait_DownClick() {
    StepNumber(txtWait, settings::kWait, -1, kMaxWait);
}

void frmOption::cmdSetPos_Click() {
    const SettingsStore store(input_.iniFile);
    // The main window's screen, where there is one.
    const QWidget* on = parentWidget() != nullptr ? parentWidget() : this;
    const double tppX = window::TwipsPerPixelX(on);
    const double tppY = window::TwipsPerPixelY(on);
    const QRect& main = input_.window;
    try {
        // As the main window reads them back: frame position, client size.
        store.Set(settings::kWidth, window::PixelsToTwips(main.width(), tppX));
        store.Set(settings::kHeight, window::PixelsToTwips(main.height(), tppY));
        store.Set(settings::kLeft, window::PixelsToTwips(main.x(), tppX));
        store.Set(settings::kTop, window::PixelsToTwips(main.y(), tppY));
    } catch (const std::exception& error) {
        ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
        return;
    }
    cmdSetPos->setEnabled(false);
}

void frmOption::WriteSettings() {
    OptionValues values;
    for (std::size_t i = 0; i < chkPassChar.size(); ++i) {
        values.classes[i] = chkPassChar[i]->isChecked();
    }
    values.symbols = OneLine(txtSymbols->text());
    lengths_->CheckPassLen();
    values.minPassLen = lengths_->minimum();
    values.maxPassLen = lengths_->maximum();
    // Typed text has no range limit; only the up/down buttons keep to 0-30.
    values.wait = std::clamp(CheckNumber(txtWait, settings::kWait), int{INT16_MIN}, int{INT16_MAX});
    txtWait->setBoxText(QString::number(values.wait));
    values.transparency = sldTransparent->value();
    const auto checked = [](UpDownBox* box, const settings::IntKey& key) {
        const int value = std::clamp(CheckNumber(box, key), 0, int{INT16_MAX});
        box->setBoxText(QString::number(value));
        return value;
    };
    values.clipboardClear =
        checked(txtClipboardClear,
                ForFormat(settings::kClipboardClear, settings::kClipboardClearProtected));
    values.autoLock =
        checked(txtAutoLock, ForFormat(settings::kAutoLock, settings::kAutoLockProtected));
    values.expiryDays = checked(txtExpiryDays, settings::kExpiryDays);
    SaveOptions(SettingsStore(input_.iniFile), values);
    emit transparencyChosen(values.transparency);
}

void frmOption::cmdExit_Click(int index) {
    if (index != 0) {
        reject();
        return;
    }
    try {
        WriteSettings();
    } catch (const std::exception& error) {
        // The dialog stays open with everything as typed, so OK can be tried again.
        ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
        return;
    }
    accept();
}

}  // namespace zorvan
