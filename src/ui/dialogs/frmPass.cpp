#include "ui/dialogs/frmPass.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "platform/Codepage.h"
#include "platform/StorageError.h"
#include "ui/ProtectionTexts.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/WindowServices.h"
#include "ui/dialogs/AsteriskStyle.h"
#include "ui/dialogs/DialogConventions.h"
#include "vault/Cipher.h"
#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"

namespace zorvan {

frmPass::frmPass(Session& session, UiServices& ui, std::optional<SecretText> commandLinePassword,
                 QWidget* parent)
    : QDialog(parent),
      session_(session),
      ui_(ui),
      commandLinePassword_(std::move(commandLinePassword)) {
    setObjectName(QStringLiteral("frmPass"));
    setWindowTitle(Res(res::kPasswordEntry));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* style = new AsteriskStyle;
    style->setParent(this);
    auto* grid = new QGridLayout;
    const QString labels[] = {QStringLiteral("パスワード"), QStringLiteral("確認")};
    for (int i = 0; i < 2; ++i) {
        lblPass[i] = new QLabel(labels[i], this);
        txtPass[i] = new QLineEdit(this);
        txtPass[i]->setObjectName(QStringLiteral("txtPass%1").arg(i));
        txtPass[i]->setStyle(style);
        lblPass[i]->setBuddy(txtPass[i]);
        grid->addWidget(lblPass[i], i, 0);
        grid->addWidget(txtPass[i], i, 1);
        connect(txtPass[i], &QLineEdit::textChanged, this, [this, i] { txtPass_Change(i); });
    }
    chkPass = new QCheckBox(QStringLiteral("パスワードを隠す"), this);
    chkPass->setChecked(true);
    connect(chkPass, &QCheckBox::clicked, this, &frmPass::chkPass_Click);
    grid->addWidget(chkPass, 2, 1);

    cmdPass[0] = new QPushButton(QStringLiteral("OK"), this);
    cmdPass[1] = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdPass[0]->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 2; ++i) {
        buttons->addWidget(cmdPass[i]);
        connect(cmdPass[i], &QPushButton::clicked, this, [this, i] { cmdPass_Click(i); });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    DialogConventions::Install(*this);
    session_.blnPassOK = false;
    chkPass_Click();
}

frmPass::~frmPass() {
    WipeBoxes();
}

void frmPass::SetShowMainWindow(std::function<void()> showMainWindow) {
    showMainWindow_ = std::move(showMainWindow);
}

void frmPass::PrepareMode(bool confirmation, bool blnTopMost) {
    chkPass_Click();
    lblPass[1]->setEnabled(confirmation);
    txtPass[1]->setEnabled(confirmation);
    QPalette palette = txtPass[1]->palette();
    palette.setColor(QPalette::Base, confirmation ? palette.color(QPalette::Active, QPalette::Base)
                                                  : palette.color(QPalette::Button));
    txtPass[1]->setPalette(palette);
    DialogConventions::KeepOnTop(*this, blnTopMost);
}

void frmPass::SetNewPass(bool blnTopMost) {
    storesFirst_ = true;
    PrepareMode(true, blnTopMost);
}

void frmPass::NewPass(bool forProtected, bool blnTopMost) {
    protectedLength_ = forProtected;
    PrepareMode(true, blnTopMost);
}

void frmPass::CheckPass(bool blnTopMost) {
    protectedLength_ = session_.vault.format() == VaultFormat::kProtected;
    PrepareMode(false, blnTopMost);
    check_ = [this](const SecretText& password) { return session_.vault.Open(password); };
    HandleCommandLine();
}

void frmPass::BackupPass(const QString& strCheckPass, bool blnTopMost) {
    BackupPass(
        [strCheckPass](const SecretText& password) {
            return ToQ(CheckValue(password)) == strCheckPass;
        },
        blnTopMost);
}

void frmPass::BackupPass(Check opensBackup, bool blnTopMost) {
    protectedLength_ = session_.vault.format() == VaultFormat::kProtected;
    PrepareMode(false, blnTopMost);
    check_ = std::move(opensBackup);
}

void frmPass::HandleCommandLine() {
    if (!commandLinePassword_) {
        return;
    }
    // Tried once; the box holds the only copy from here on.
    QString text = ToQ(*commandLinePassword_);
    commandLinePassword_.reset();
    txtPass[0]->setText(text);
    WipeText(text);
    cmdPass_Click(0);
}

void frmPass::chkPass_Click() {
    const auto mode = chkPass->isChecked() ? QLineEdit::Password : QLineEdit::Normal;
    for (auto* box : txtPass) {
        box->setEchoMode(mode);
    }
}

void frmPass::txtPass_Change(int index) {
    // Each text the box lets go of is wiped here, where it is last held.
    QLineEdit* box = txtPass[index];
    QString text = box->text();
    if (TooLong(text)) {
        ui_.Beep();
        {
            const QSignalBlocker block(box);
            box->setText(lastAccepted_[index]);
        }
        WipeText(text);
        return;
    }
    QString previous = std::exchange(lastAccepted_[index], std::move(text));
    WipeText(previous);
}

bool frmPass::TooLong(const QString& text) const {
    return protectedLength_ ? text.size() > kMaxProtectedLength
                            : codepage::AnsiLength(SecretFromQ(text)) > kMaxPasswordBytes;
}

bool frmPass::Accepts(const QString& typed) {
    if (!check_) {
        return true;
    }
    bool accepted = false;
    try {
        // Deriving a protected vault's key takes a moment.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        accepted = check_(SecretFromQ(typed));
        QApplication::restoreOverrideCursor();
    } catch (const std::exception& error) {
        QApplication::restoreOverrideCursor();
        ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
        return false;
    }
    if (!accepted) {
        ui_.Message(this,
                    protectedLength_ ? QString::fromUtf8(protection::kWrongOrAltered)
                                     : Res(res::kWrongPassword),
                    UiServices::Buttons::kOk);
        ClearBox(0);
        txtPass[0]->setFocus();
    }
    return accepted;
}

void frmPass::cmdPass_Click(int index) {
    if (index != 0) {
        reject();
        return;
    }
    const bool settingMode = txtPass[1]->isEnabled();
    if (settingMode && txtPass[1]->text() != txtPass[0]->text()) {
        ui_.Message(this, Res(res::kWrongPassword), UiServices::Buttons::kOk);
        txtPass[0]->setFocus();
        return;
    }
    if (storesFirst_) {
        try {
            session_.vault.SetFirstPassword(SecretFromQ(txtPass[0]->text()));
        } catch (const StorageError& error) {
            // Without a stored check value no later login could succeed.
            ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
            return;
        }
    } else if (!Accepts(txtPass[0]->text())) {
        return;
    }
    Succeed(txtPass[0]->text());
}

void frmPass::Succeed(const QString& password) {
    SecretText typed = SecretFromQ(password);
    session_.blnPassOK = true;
    password_ = std::move(typed);
    setWindowTitle(Res(res::kLoggingIn));
    WipeBoxes();
    if (showMainWindow_) {
        showMainWindow_();
    }
    accept();
}

void frmPass::ClearBox(int index) {
    // The text is taken out first: once the box and the last accepted copy let go,
    // this is the buffer's only holder and can wipe it. setText also clears the
    // box's undo history, which holds earlier texts.
    QString held = txtPass[index]->text();
    WipeText(lastAccepted_[index]);
    {
        const QSignalBlocker block(txtPass[index]);
        txtPass[index]->setText(QString());
    }
    WipeText(held);
}

void frmPass::WipeBoxes() {
    for (int i = 0; i < 2; ++i) {
        if (txtPass[i] != nullptr) {
            ClearBox(i);
        }
    }
}

}  // namespace zorvan
