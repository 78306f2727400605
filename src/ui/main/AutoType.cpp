#include "ui/main/AutoType.h"

#include <QByteArray>
#include <QComboBox>
#include <QCoreApplication>
#include <exception>
#include <string>

#include "app/KeystrokeText.h"
#include "app/Session.h"
#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "platform/KeyInjector.h"
#include "platform/SecureWipe.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/main/ItemCommands.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/frmMain.h"
#include "vault/GroupIndex.h"
#include "vault/ItemReader.h"

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

QString AutoType::FailedMessage() {
    return QStringLiteral(
        "キー入力を送ることができませんでした。定型貼付の一部または全部が入力されていない可能性があ"
        "ります。");
}

AutoType::AutoType(frmMain& main, KeyInjector& injector) : main_(main), injector_(&injector) {
    main_.SetKeystrokeSender([this](const QString& keystrokes) { SendKeys(keystrokes); });
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
    const auto slot = static_cast<std::size_t>(main_.itemModel()->row(row).tag);
    const auto& blocks = main_.state().lngItemBlocks;
    if (slot >= blocks.size()) {
        return;
    }
    const BlockNumber block = blocks[slot];

    std::string quoted;
    const WipeOnExit wipeQuoted(quoted);
    int wait = kDefaultWait;
    try {
        const auto& paths = main_.session().paths;
        {
            // The item as stored: the list may show the password masked.
            const ItemRecord item = ItemReader(paths.strItmFile).Load(block);
            std::string raw = KeystrokeText::RawText(index, item.AccountID, item.AccountPass);
            const WipeOnExit wipeRaw(raw);
            quoted = KeystrokeText::Quote(raw);
        }
        GroupIndex(paths.strIdxFile)
            .UpdateGroupLine(FromQ(main_.groupSelector()->currentText()), block, block);
        wait = ReadWait();
    } catch (const std::exception& error) {
        main_.ui().Message(&main_, ToQ(error.what()), UiServices::Buttons::kOk);
        return;
    }

    QString keystrokes = QString::fromUtf8(quoted.data(), static_cast<qsizetype>(quoted.size()));
    if (wait != 0) {
        main_.StartCountdown(wait, keystrokes);
    } else if (!injector_->AltTab()) {
        // Typing now would reach our own window.
        main_.ui().Message(&main_, FailedMessage(), UiServices::Buttons::kOk);
    } else {
        // Lets the switch to the other window take place before typing.
        QCoreApplication::processEvents();
        SendKeys(keystrokes);
    }
    Wipe(keystrokes);
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
    const bool typed = keys.empty() || injector_->Type(keys);
    KeystrokeText::Wipe(keys);
    if (!typed) {
        main_.ui().Message(&main_, FailedMessage(), UiServices::Buttons::kOk);
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
