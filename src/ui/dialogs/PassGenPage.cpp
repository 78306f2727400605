#include "ui/dialogs/PassGenPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <exception>

#include "platform/RandomSource.h"
#include "platform/SecureWipe.h"
#include "tools/PasswordGenerator.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/dialogs/GeneratorBoxes.h"
#include "ui/dialogs/PassClassSwitches.h"
#include "ui/dialogs/PassLenBoxes.h"
#include "ui/dialogs/StrengthMeter.h"
#include "ui/dialogs/TextLimit.h"
#include "ui/dialogs/UpDownBox.h"
#include "vault/Settings.h"
#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"

namespace zorvan {

namespace {

constexpr std::size_t kMaxGeneratedLength = 128;

}  // namespace

PassGenPage::PassGenPage(UiServices& ui, RandomSource& random, QWidget* parent)
    : QWidget(parent), ui_(ui), random_(random) {
    setObjectName(QStringLiteral("fraItem1"));
    lengths_ = new PassLenBoxes(ui_, this);
    auto* grid = new QGridLayout;
    const QString lengthCaptions[] = {QStringLiteral("最低文字数"), QStringLiteral("最高文字数")};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(lengthCaptions[i], this);
        label->setBuddy(lengths_->box(i));
        lblPassLen[static_cast<std::size_t>(i)] = label;
        grid->addWidget(label, 0, i * 2);
        grid->addWidget(lengths_->box(i), 0, i * 2 + 1);
    }
    const QString classCaptions[] = {QStringLiteral("大文字"), QStringLiteral("小文字"),
                                     QStringLiteral("数字"), QStringLiteral("記号")};
    auto* classes = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto* box = new QCheckBox(classCaptions[i], this);
        box->setObjectName(QStringLiteral("chkPassChar%1").arg(i));
        chkPassChar[static_cast<std::size_t>(i)] = box;
        classes->addWidget(box);
    }
    txtSymbols = new QLineEdit(this);
    txtSymbols->setObjectName(QStringLiteral("txtSymbols"));
    classes->addWidget(txtSymbols, 1);

    cmdPassGen[0] = new QPushButton(QStringLiteral("生成"), this);
    cmdPassGen[1] = new QPushButton(QStringLiteral("適用"), this);
    txtPassGen = new QLineEdit(this);
    txtPassGen->setObjectName(QStringLiteral("txtPassGen"));
    new TextLimit(txtPassGen, kMaxGeneratedLength, ui_);
    strengthMeter_ = new StrengthMeter(this);
    strengthMeter_->setObjectName(QStringLiteral("genStrengthMeter"));
    // Generated or edited by hand alike.
    connect(txtPassGen, &QLineEdit::textChanged, strengthMeter_, &StrengthMeter::Show);
    auto* output = new QVBoxLayout;
    output->setSpacing(2);
    output->addWidget(txtPassGen);
    output->addWidget(strengthMeter_);
    // The buttons line up with the box, not with the box and the meter together.
    auto* result = new QHBoxLayout;
    result->addWidget(cmdPassGen[0], 0, Qt::AlignTop);
    result->addLayout(output, 1);
    result->addWidget(cmdPassGen[1], 0, Qt::AlignTop);
    for (int i = 0; i < 2; ++i) {
        cmdPassGen[static_cast<std::size_t>(i)]->setAutoDefault(false);
        connect(cmdPassGen[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { cmdPassGen_Click(i); });
    }
    cmdPassGen[1]->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(classes);
    layout->addLayout(result);
    layout->addStretch();
}

PassGenPage::~PassGenPage() {
    // setText also drops the box's undo history, which holds earlier passwords.
    txtPassGen->setText(QString());
}

void PassGenPage::LoadSettings(const std::filesystem::path& iniFile) {
    GeneratorBoxes{chkPassChar, txtSymbols, lengths_}.Load(iniFile);
}

void PassGenPage::cmdPassGen_Click(int index) {
    if (index == 0) {
        Generate();
    } else {
        Apply();
    }
}

bool PassGenPage::Generate() {
    lengths_->CheckPassLen();
    PasswordGenerator::Classes classes;
    classes.upper = chkPassChar[0]->isChecked();
    classes.lower = chkPassChar[1]->isChecked();
    classes.number = chkPassChar[2]->isChecked();
    classes.symbol = chkPassChar[3]->isChecked();
    std::string symbols = FromQ(txtSymbols->text());
    const auto pool = PasswordGenerator::BuildPool(classes, symbols);
    if (ToQ(symbols) != txtSymbols->text()) {
        txtSymbols->setText(ToQ(symbols));
    }
    if (pool.empty()) {
        ui_.Message(this, QStringLiteral("文字種を最低一つはチェックしてください"),
                    UiServices::Buttons::kOk);
        return false;
    }
    std::string password;
    try {
        password =
            PasswordGenerator::Generate(pool, lengths_->minimum(), lengths_->maximum(), random_);
    } catch (const std::exception& error) {
        ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
        return false;
    }
    cmdPassGen[1]->setEnabled(true);
    txtPassGen->setText(ToQ(password));
    SecureWipe(password);
    return true;
}

void PassGenPage::Apply() {
    emit passwordApplied(txtPassGen->text());
    cmdPassGen[1]->setEnabled(false);
}

}  // namespace zorvan
