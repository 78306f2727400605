#include "ui/main/VaultUpgrade.h"

#include <exception>
#include <memory>

#include "platform/StorageError.h"
#include "ui/CommittedChange.h"
#include "ui/LongOperation.h"
#include "ui/ProtectionTexts.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/dialogs/frmPass.h"
#include "ui/main/frmMain.h"
#include "vault/VaultJournal.h"

namespace zorvan {

namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

VaultUpgrade::VaultUpgrade(frmMain& main)
    : main_(main), runPass_([](frmPass& dialog) { dialog.exec(); }) {}

SecretText VaultUpgrade::AskPassword(const char* title,
                                     const std::function<void(frmPass&)>& prepare) {
    // A session of its own, so that the open one stays logged in whatever happens.
    Session typed(main_.session().paths);
    frmPass dialog(typed, main_.ui(), {}, &main_);
    prepare(dialog);
    dialog.setWindowTitle(Q(title));
    runPass_(dialog);
    return typed.blnPassOK ? dialog.TakePassword() : SecretText();
}

void VaultUpgrade::Upgrade() {
    Session& session = main_.session();
    UiServices& ui = main_.ui();
    if (session.vault.format() != VaultFormat::kLegacy ||
        ui.Message(&main_, Q(protection::kUpgradeExplanation), UiServices::Buttons::kYesNo) !=
            UiServices::Answer::kYes) {
        return;
    }
    const SecretText current = AskPassword(protection::kCurrentPassword, [&](frmPass& dialog) {
        dialog.BackupPass([&](const SecretText& typed) { return session.vault.IsKeyOf(typed); },
                          main_.topMost());
    });
    if (current.empty()) {
        return;
    }
    const SecretText password = AskPassword(
        protection::kNewPassword, [&](frmPass& dialog) { dialog.NewPass(true, main_.topMost()); });
    if (password.empty()) {
        return;
    }
    auto operation =
        std::make_unique<LongOperation>(&main_, main_.progressBar(), Q(protection::kUpgrading));
    try {
        const KdfParams kdf = kdf_ ? *kdf_ : sealed::Calibrate(0.5);
        session.vault.Upgrade(password, kdf, [&operation](std::size_t done, std::size_t total) {
            operation->Progress(done, total);
        });
        operation.reset();
    } catch (const std::exception& error) {
        operation.reset();  // before any message, which must take clicks
        if (!VaultJournal(session.paths).Pending()) {
            ui.Message(&main_, ToQ(error.what()), UiServices::Buttons::kOk);
            return;
        }
        // Committed: the protected vault counts once the start-up work is done.
        if (!FinishCommittedChange(session.paths, ui, &main_)) {
            return;
        }
    }
    main_.ShowFormat();
    ui.Message(&main_, Q(protection::kUpgraded), UiServices::Buttons::kOk);
    OfferToRemoveLegacyFiles();
}

void VaultUpgrade::OfferToRemoveLegacyFiles() {
    UiServices& ui = main_.ui();
    if (ui.Message(&main_, Q(protection::kRemoveLegacy), UiServices::Buttons::kYesNo) !=
        UiServices::Answer::kYes) {
        return;
    }
    try {
        const int removed = main_.session().vault.RemoveLegacyFiles();
        ui.Message(&main_, Q(protection::kLegacyRemoved) + QString::number(removed),
                   UiServices::Buttons::kOk);
    } catch (const std::exception& error) {
        ui.Message(&main_, ToQ(error.what()), UiServices::Buttons::kOk);
    }
}

void VaultUpgrade::WriteLegacyCopy() {
    Session& session = main_.session();
    UiServices& ui = main_.ui();
    if (session.vault.format() != VaultFormat::kProtected ||
        ui.Message(&main_, Q(protection::kLegacyCopyWarning), UiServices::Buttons::kYesNo) !=
            UiServices::Answer::kYes) {
        return;
    }
    const QString folder = ui.ChooseFolder(&main_, Q(protection::kLegacyCopyFolder));
    if (folder.isEmpty()) {
        return;
    }
    const SecretText password = AskPassword(protection::kLegacyCopyPassword, [&](frmPass& dialog) {
        dialog.NewPass(false, main_.topMost());
    });
    if (password.empty()) {
        return;
    }
    auto operation = std::make_unique<LongOperation>(&main_, main_.progressBar(),
                                                     Q(protection::kLegacyCopyCommand));
    try {
        session.vault.WriteLegacyCopy(Utf8ToPath(FromQ(folder)), password,
                                      [&operation](std::size_t done, std::size_t total) {
                                          operation->Progress(done, total);
                                      });
        operation.reset();
        ui.Message(&main_, Q(protection::kLegacyCopyDone) + folder, UiServices::Buttons::kOk);
    } catch (const std::exception& error) {
        operation.reset();
        ui.Message(&main_, ToQ(error.what()), UiServices::Buttons::kOk);
    }
}

}  // namespace zorvan
