#include "ui/main/AutoType.h"

#include <QByteArray>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <exception>
#include <string>

#include "platform/KeyInjector.h"
#include "platform/SecureWipe.h"
#include "tools/KeystrokeText.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/main/ItemCommands.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/frmMain.h"
#include "vault/GroupIndex.h"
#include "vault/ItemReader.h"
#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"

namespace zorvan {

namespace {

// Wipes a password-bearing text however the scope is left.
class WipeOnExit {
public:
    explicit WipeOnExit(std::string& text) : text_(text) {}
    ~WipeOnExit() { SecureWipe(text_); }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

private:
    std::string& text_;
};

}  // namespace

QString AutoType::UnavailableMessage() {
    return QStringLiteral(
        "この環境では定型貼付を使用できません。他のアプリケーションへキー入力を送る手段がありません"
        "（X11 に接続できない Wayland 環境など）。");
}

QString AutoType::FocusMovedMessage() {
    return QStringLiteral(
        "入力先のウィンドウが変わったため、定型貼付を中止しました。"
        "残りの文字は入力されていません。");
}

QString AutoType::TargetLine(const FocusWindow& window) {
    // A long title would stretch the popup across the screen.
    constexpr qsizetype kMaxTitle = 60;
    QString title = QString::fromStdString(window.title).simplified();
    if (window.id == 0) {
        title = QStringLiteral("（不明）");
    } else if (title.isEmpty()) {
        title = QStringLiteral("（タイトルなし）");
    } else if (title.size() > kMaxTitle) {
        title = title.left(kMaxTitle - 1) + QChar(0x2026);
    }
    return QStringLiteral("入力先：") + title;
}

QString AutoType::CurrentTargetLine() {
    return TargetLine(injector_->Available() ? injector_->FocusedWindow() : FocusWindow{});
}

QString AutoType::FailedMessage() {
    return QStringLiteral(
        "キー入力を送ることができませんでした。定型貼付の一部または全部が入力されていない可能性があ"
        "ります。");
}

AutoType::AutoType(frmMain& main, KeyInjector& injector) : main_(main), injector_(&injector) {
    main_.SetKeystrokeSender([this](const QString& keystrokes) { SendKeys(keystrokes); });
    main_.SetTargetNamer([this] { return CurrentTargetLine(); });
}

int AutoType::ReadWait() const {
    const int wait = main_.settings().Get(settings::kWait);
    // Text that is not a 16-bit number already reads as the default.
    return wait < 0 ? kDefaultWait : wait;
}

void AutoType::mnuSendkeysItem_Click(int index) {
    if (index < 0 || index >= KeystrokeText::kEntryCount) {
        return;
    }
    const int row = main_.commands().SelectedRow();
    if (row < 0) {
        return;
    }
    // Told before anything changes, rather than counting down to nothing.
    if (!injector_->Available()) {
        main_.ui().Message(&main_, UnavailableMessage(), UiServices::Buttons::kOk);
        return;
    }
    const BlockNumber block = main_.itemModel()->row(row).block;

    std::string quoted;
    const WipeOnExit wipeQuoted(quoted);
    int wait = kDefaultWait;
    try {
        {
            // The item as stored: the list may show the password masked. Using it
            // puts it first in its group.
            const ItemRecord item =
                main_.session().vault.UseItem(FromQ(main_.GroupOfRow(row)), block);
            std::string raw = KeystrokeText::RawText(index, item.AccountID, item.AccountPass);
            const WipeOnExit wipeRaw(raw);
            quoted = KeystrokeText::Quote(raw);
        }
        wait = ReadWait();
    } catch (const std::exception& error) {
        main_.ui().Message(&main_, ToQ(error.what()), UiServices::Buttons::kOk);
        return;
    }

    QString keystrokes = QString::fromUtf8(quoted.data(), static_cast<qsizetype>(quoted.size()));
    if (wait != 0) {
        main_.StartCountdown(wait, keystrokes);
    } else {
        TypeAtOnce(keystrokes);
    }
    Wipe(keystrokes);
}

void AutoType::TypeAtOnce(const QString& keystrokes) {
    const std::uint64_t before = injector_->FocusedWindow().id;
    if (!injector_->AltTab()) {
        // Typing now would reach our own window.
        main_.ui().Message(&main_, FailedMessage(), UiServices::Buttons::kOk);
        return;
    }
    // The system switches windows in its own time, and keys typed before that
    // would reach our own window: window messages run until the focus has moved
    // (at least once, as the switch may need them). Where there is no other
    // window the focus stays, and the keys go there after the wait.
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents();
    while (before != 0 && injector_->FocusedWindow().id == before &&
           clock.elapsed() < kSwitchWaitMs) {
        QThread::msleep(10);
        QCoreApplication::processEvents();
    }
    main_.ShowToolTip(QString(), CurrentTargetLine());
    SendKeys(keystrokes);
}

void AutoType::SendKeys(const QString& keystrokes) {
    if (!injector_->Available()) {
        main_.ui().Message(&main_, UnavailableMessage(), UiServices::Buttons::kOk);
        return;
    }
    QByteArray utf8 = keystrokes.toUtf8();
    std::vector<KeyAction> keys = KeystrokeText::Parse(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    SecureWipe(utf8.data(), static_cast<std::size_t>(utf8.size()));
    // The window that has the focus now is the target; typing stops when the
    // focus leaves it, rather than giving the rest to another window.
    const TypeResult result =
        keys.empty() ? TypeResult::kTyped : injector_->Type(keys, injector_->FocusedWindow().id);
    KeystrokeText::Wipe(keys);
    if (result == TypeResult::kRefused) {
        main_.ui().Message(&main_, FailedMessage(), UiServices::Buttons::kOk);
    } else if (result == TypeResult::kFocusMoved) {
        main_.ui().Message(&main_, FocusMovedMessage(), UiServices::Buttons::kOk);
    }
}

void AutoType::Wipe(QString& text) {
    // Writing through a shared or static text would detach a copy, or fault.
    if (text.isDetached()) {
        SecureWipe(text.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
    }
    text.clear();
}

}  // namespace zorvan
