#include "app/Startup.h"

#include <QApplication>
#include <QWidget>
#include <exception>

#include "app/SingleInstance.h"
#include "ui/LockTriggers.h"
#include "ui/LongOperation.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/dialogs/frmPass.h"
#include "ui/main/frmMain.h"
#include "vault/DataFiles.h"
#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"
#include "vault/VaultCheck.h"
#include "vault/VaultJournal.h"

namespace zorvan {

Startup::Startup(std::filesystem::path dataFolder, std::optional<SecretText> password,
                 UiServices& ui)
    : dataFolder_(std::move(dataFolder)), password_(std::move(password)), ui_(ui) {}

Startup::~Startup() {
    delete pass_.data();
}

frmPass* Startup::passwordDialog() const {
    return pass_.data();
}

bool Startup::Start() {
    instance_ = std::make_unique<SingleInstance>(dataFolder_);
    switch (instance_->Claim()) {
        case SingleInstance::Outcome::kFirst:
            break;
        case SingleInstance::Outcome::kActivated:
            return false;
        case SingleInstance::Outcome::kRefused:
            ui_.Message(nullptr, instance_->refusal(), UiServices::Buttons::kOk);
            return false;
    }
    connect(instance_.get(), &SingleInstance::activationRequested, this,
            &Startup::BringLastWindowForward);
    TrackActiveWindow();

    try {
        session_ = std::make_unique<Session>(InitDataFiles(dataFolder_));
        // An interrupted password change or restore is finished or undone before
        // anything reads the vault.
        RecoverInterruptedChange(session_->paths);
        session_->vault.Settings().Set(settings::kVersion, kVersion);
    } catch (const std::exception& error) {
        ui_.Message(nullptr, ToQ(error.what()), UiServices::Buttons::kOk);
        return false;
    }

    ReportDamage();

    pass_ = new frmPass(*session_, ui_, std::move(password_));
    pass_->setAttribute(Qt::WA_DeleteOnClose);
    pass_->SetShowMainWindow([this] { ShowMainWindow(); });
    pass_->show();
    lastActive_ = pass_.data();
    if (session_->vault.HasPassword()) {
        pass_->CheckPass(false);
    } else {
        pass_->SetNewPass(false);
    }
    return true;
}

void Startup::ReportDamage() {
    // Told once, before anything else; the vault is left exactly as it is.
    try {
        const std::string message = session_->vault.Check().Message();
        if (!message.empty()) {
            ui_.Message(nullptr, ToQ(message), UiServices::Buttons::kOk);
        }
    } catch (const std::exception&) {
        // An index that cannot be read shows up again where it is used.
    }
}

void Startup::ShowMainWindow() {
    if (main_ && main_->isVisible()) {
        return;
    }
    if (!main_) {
        main_ = std::make_unique<frmMain>(*session_, ui_);
        triggers_ = new LockTriggers(this);
        connect(triggers_, &LockTriggers::lockRequested, this, &Startup::Lock);
        connect(main_.get(), &frmMain::optionsSaved, this, &Startup::ApplyIdleTime);
    }
    main_->Form_Load();
    main_->show();
    main_->activateWindow();
    triggers_->WatchSessionOf(main_.get());
    ApplyIdleTime();
    lastActive_ = main_.get();
}

void Startup::ApplyIdleTime() {
    int minutes = 0;
    try {
        minutes = session_->vault.Setting(settings::kAutoLock, settings::kAutoLockProtected);
    } catch (const std::exception&) {
        // Unreadable settings lock nothing; the windows say so where they read them.
    }
    triggers_->SetIdleTime(minutes * 60 * 1000);
}

void Startup::Lock() {
    if (!main_ || !main_->isVisible() || !session_->vault.IsOpen()) {
        return;
    }
    if (LongOperation::Running()) {
        LongOperation::Later([self = QPointer<Startup>(this)] {
            if (self != nullptr) {
                self->Lock();
            }
        });
        return;
    }
    // An open dialog is cancelled first; the lock follows once its loop has ended.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
        QTimer::singleShot(0, this, &Startup::Lock);
        return;
    }
    lockedView_ = main_->ForgetForLock();
    if (ui_.ClipboardHoldsOurs()) {
        ui_.ClearClipboard();
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            window->hide();
        }
    }
    session_->vault.Close();
    session_->blnPassOK = false;
    pass_ = new frmPass(*session_, ui_, {});
    pass_->setAttribute(Qt::WA_DeleteOnClose);
    pass_->SetShowMainWindow([this] { Unlock(); });
    pass_->show();
    lastActive_ = pass_.data();
    pass_->CheckPass(false);
}

void Startup::Unlock() {
    main_->show();
    main_->activateWindow();
    if (lockedView_) {
        main_->ShowAgain(*lockedView_);
        lockedView_.reset();
    }
    ApplyIdleTime();
    lastActive_ = main_.get();
}

void Startup::TrackActiveWindow() {
    connect(qApp, &QApplication::focusChanged, this, [this] {
        if (QWidget* active = QApplication::activeWindow()) {
            // The popup never takes the focus; it is not a window to come back to.
            if (!active->windowFlags().testFlag(Qt::ToolTip)) {
                lastActive_ = active;
            }
        }
    });
}

void Startup::BringLastWindowForward() {
    QWidget* window = lastActive_.data();
    if (window == nullptr) {
        window = main_ && main_->isVisible() ? static_cast<QWidget*>(main_.get()) : pass_.data();
    }
    if (window == nullptr) {
        return;
    }
    if (window->isMinimized()) {
        window->showNormal();
    }
    window->raise();
    window->activateWindow();
}

}  // namespace zorvan
