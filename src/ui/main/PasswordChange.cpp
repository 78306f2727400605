#include "ui/main/PasswordChange.h"

#include <QLabel>
#include <exception>
#include <memory>
#include <system_error>

#include "ui/CommittedChange.h"
#include "ui/LongOperation.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/dialogs/frmPass.h"
#include "ui/main/frmMain.h"
#include "vault/Cipher.h"
#include "vault/MasterPasswordChange.h"
#include "vault/VaultJournal.h"

namespace zorvan {

PasswordChange::PasswordChange(frmMain& main)
    : main_(main), runPass_([](frmPass& dialog) { dialog.exec(); }) {}

void PasswordChange::Run() {
    Session& session = main_.session();
    // The dialog only hands the password out; it gets a session of its own, so that
    // the open one stays logged in whatever happens in it.
    Session typed(session.paths);
    SecretText password;
    {
        frmPass dialog(typed, main_.ui(), {}, &main_);
        dialog.NewPass(session.vault.format() == VaultFormat::kProtected, main_.topMost());
        runPass_(dialog);
        password = dialog.TakePassword();
    }
    if (!typed.blnPassOK || session.vault.IsKeyOf(password)) {
        return;
    }

    QLabel* status = main_.statusPanel(kStatusPanel);
    status->setText(Res(res::kChangingPassword));
    status->repaint();
    auto operation =
        std::make_unique<LongOperation>(&main_, main_.progressBar(), Res(res::kChangingPassword));
    try {
        session.vault.ChangePassword(password, [&operation](std::size_t done, std::size_t total) {
            operation->Progress(done, total);
        });
        operation.reset();
    } catch (const std::exception& error) {
        // The progress goes before any message is shown.
        operation.reset();
        status->clear();
        // Once committed, the new password is the one the vault opens with.
        const bool committed = VaultJournal(session.paths).Pending();
        if (!committed) {
            main_.ui().Message(&main_, ToQ(error.what()), UiServices::Buttons::kOk);
            return;
        }
        if (!FinishCommittedChange(session.paths, main_.ui(), &main_)) {
            return;
        }
    }
    status->setText(Res(res::kPasswordChanged));
}

}  // namespace zorvan
