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
// login (the vault opens with it, also with the password given at start: "/p" on
// the command line or --password-stdin), a new password (typed twice, stored
// nowhere) and backup check (the backup opens with it). On success in login the
// session's vault is open, and the dialog hands the password out once. A password
// for the protected format may be long; the legacy format takes 16 bytes.
class frmPass : public QDialog {
    Q_OBJECT

public:
    // Most bytes a password may take in code page 932.
    static constexpr std::size_t kMaxPasswordBytes = 16;
    // Most characters a password of the protected format may have.
    static constexpr int kMaxProtectedLength = 256;
    using Check = std::function<bool(const SecretText& password)>;

    // commandLinePassword: the password given at start, tried once by login mode.
    frmPass(Session& session, UiServices& ui, std::optional<SecretText> commandLinePassword,
            QWidget* parent = nullptr);
    ~frmPass() override;

    // Called on success when the main window is not showing yet.
    void SetShowMainWindow(std::function<void()> showMainWindow);

    void SetNewPass(bool blnTopMost);
    void CheckPass(bool blnTopMost);
    void BackupPass(const QString& strCheckPass, bool blnTopMost);
    void BackupPass(Check opensBackup, bool blnTopMost);
    // Typed twice and handed out; forProtected allows the protected format's length.
    void NewPass(bool forProtected, bool blnTopMost);

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
    bool TooLong(const QString& text) const;
    // Whether the typed password passes this mode's check; shows why not.
    bool Accepts(const QString& typed);
    void HandleCommandLine();
    void Succeed(const QString& password);
    void ClearBox(int index);
    void WipeBoxes();

    Session& session_;
    UiServices& ui_;
    std::optional<SecretText> commandLinePassword_;
    std::function<void()> showMainWindow_;
    Check check_;
    bool storesFirst_ = false;
    bool protectedLength_ = false;
    SecretText password_;
    std::array<QString, 2> lastAccepted_;

    std::array<QLabel*, 2> lblPass{};
    std::array<QLineEdit*, 2> txtPass{};
    QCheckBox* chkPass = nullptr;
    std::array<QPushButton*, 2> cmdPass{};
};

}  // namespace zorvan
