#pragma once

#include <QObject>
#include <QPointer>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/SecretText.h"
#include "tools/Version.h"
#include "ui/main/frmMain.h"

class QWidget;

namespace zorvan {

class UiServices;
class SingleInstance;
class frmPass;
class LockTriggers;
struct Session;

// The program's start: one running copy per data folder, the data folder made
// ready, the version recorded, then the password dialog in login or first-setting
// mode. The main window opens when a password has been accepted.
class Startup : public QObject {
    Q_OBJECT

public:
    static constexpr int kVersion = version::kNumber;

    // password: the one given at start ("/p", --password-stdin), tried once at login.
    Startup(std::filesystem::path dataFolder, std::optional<SecretText> password, UiServices& ui);
    ~Startup() override;

    // Runs the start-up procedure. False when the program should end at once: another
    // copy runs (and was asked to show itself), or the start was refused or the data
    // folder cannot be prepared (the user has been told why).
    bool Start();

    frmPass* passwordDialog() const;
    frmMain* mainWindow() const { return main_.get(); }
    LockTriggers* lockTriggers() const { return triggers_; }

    // Hides every window, drops the key and every deciphered row, and asks for the
    // password again; the right one brings the main window back as it was. Waits
    // for a long operation to end, and cancels open dialogs and auto-typing first.
    void Lock();

private:
    void ShowMainWindow();
    void Unlock();
    // The idle time the settings ask for now.
    void ApplyIdleTime();
    void ReportDamage();
    void BringLastWindowForward();
    void TrackActiveWindow();

    std::filesystem::path dataFolder_;
    std::optional<SecretText> password_;
    UiServices& ui_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<Session> session_;
    QPointer<frmPass> pass_;
    std::unique_ptr<frmMain> main_;
    QPointer<QWidget> lastActive_;
    LockTriggers* triggers_ = nullptr;
    std::optional<frmMain::View> lockedView_;
};

}  // namespace zorvan
