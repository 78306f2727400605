#pragma once

#include <functional>

namespace zorvan {

class frmMain;
class frmPass;

// The File menu's master password change: asks for the new password with the
// password dialog in setting mode, then re-enciphers the whole vault under it as one
// step, showing its progress in the main window's status bar. Typing the running
// password again, or cancelling, changes nothing.
class PasswordChange {
public:
    // The status bar panel the progress texts go to (the wide one).
    static constexpr int kStatusPanel = 1;

    explicit PasswordChange(frmMain& main);

    // For tests: how the password dialog is shown (modally by default).
    void SetPasswordDialogRunner(std::function<void(frmPass&)> run) { runPass_ = std::move(run); }

    void Run();

private:
    frmMain& main_;
    std::function<void(frmPass&)> runPass_;
};

}  // namespace zorvan
