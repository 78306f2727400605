#pragma once

#include <QString>

#include "platform/KeyInjector.h"

namespace zorvan {

class frmMain;

// Auto-type ("定型貼付"): types the selected item's user ID and password into
// another program's window, either at once (after switching back to the window
// that was active before ours) or when the main window's countdown runs out.
class AutoType {
public:
    // A "wait" that is negative, beyond 16 bits or not a number counts as 4.
    static constexpr int kDefaultWait = 4;

    // Shown instead of typing where the system gives no way to send keystrokes.
    static QString UnavailableMessage();
    // Shown when the system refused the keystrokes.
    static QString FailedMessage();
    // Shown when the focus left the target window while typing.
    static QString FocusMovedMessage();
    // How long typing at once waits for the simulated Alt+Tab to move the focus.
    static constexpr int kSwitchWaitMs = 1000;

    // The popup's line that names the window the keys will reach.
    static QString TargetLine(const FocusWindow& window);

    // Installs itself as the main window's keystroke sender and target namer,
    // so that the countdown names its target and types through injector too.
    AutoType(frmMain& main, KeyInjector& injector);

    // Types through another injector from now on (tests record instead).
    void UseInjector(KeyInjector& injector) { injector_ = &injector; }

    // Entry index of the auto-type menu (0 to 4): builds and quotes the entry's
    // text from the selected item as stored, moves the item to the front of its
    // group, then types it at once (wait 0) or starts the countdown.
    void mnuSendkeysItem_Click(int index);

    // Types a keystroke text into the window that has the keyboard focus now,
    // and only while that window keeps it.
    void SendKeys(const QString& keystrokes);

    // TargetLine for the window that has the focus now.
    QString CurrentTargetLine();

    // The "wait" setting, read anew: seconds before typing, 0 for at once.
    int ReadWait() const;

    // Zeroes a text's characters when this string alone holds them, then empties
    // it. A text shared with other strings is only emptied; its last holder
    // wipes it.
    static void Wipe(QString& text);

private:
    // Switches back to the window that was active before ours with a simulated
    // Alt+Tab, shows which window that is, and types there.
    void TypeAtOnce(const QString& keystrokes);

    frmMain& main_;
    KeyInjector* injector_;
};

}  // namespace zorvan
