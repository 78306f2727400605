#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

#include "platform/SecretText.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zorvan {

struct Session;
class UiServices;

// Asks for the master password: first setting (typed twice, its check value stored),
// login (checked against the stored check value, also with the password given at
// start: "/p" on the command line or --password-stdin) and backup check (against a backup's check
// value). On success the session's vault opens with the password (not in backup
// check, where the restore decides), and the dialog hands the password out once.
class frmPass : public QDialog {
    Q_OBJECT

public:
    // Most bytes a password may take in code page 932.
    static constexpr std::size_t kMaxPasswordBytes = 16;

    // commandLinePassword: the password given at start, tried once by login mode.
    frmPass(Session& session, UiServices& ui, std::optional<SecretText> commandLinePassword,
            QWidget* parent = nullptr);
    ~frmPass() override;

    // Called on success when the main window is not showing yet.
    void SetShowMainWindow(std::function<void()> showMainWindow);

    void SetNewPass(bool blnTopMost);
    void CheckPass(bool blnTopMost);
    void BackupPass(const QString& strCheckPass, bool blnTopMost);

    // The accepted password, taken out of the dialog; empty when none was accepted.
    SecretText TakePassword() { return std::move(password_); }

    // For tests and the command line: the boxes and buttons.
    QLineEdit* passwordBox() const { return txtPass[0]; }
    QLineEdit* confirmationBox() const { return txtPass[1]; }
    QPushButton* okButton() const { return cmdPass[0]; }
    QCheckBox* hideCheckBox() const { return chkPass; }

private slots:
    void cmdPass_Click(int index);
    void chkPass_Click();
    void txtPass_Change(int index);

private:
    void PrepareMode(bool confirmation, bool blnTopMost);
    void HandleCommandLine();
    void Succeed(const QString& password);
    void ClearBox(int index);
    void WipeBoxes();

    Session& session_;
    UiServices& ui_;
    std::optional<SecretText> commandLinePassword_;
    std::function<void()> showMainWindow_;
    QString expectedCheckValue_;
    bool opensVault_ = true;
    SecretText password_;
    std::array<QString, 2> lastAccepted_;

    std::array<QLabel*, 2> lblPass{};
    std::array<QLineEdit*, 2> txtPass{};
    QCheckBox* chkPass = nullptr;
    std::array<QPushButton*, 2> cmdPass{};
};

}  // namespace zorvan
