#pragma once

#include <QObject>
#include <functional>

class QDialog;

namespace zorvan {

// What every dialog of the program does alike: it stays above other windows while
// the main window does, and a plain Esc (keypad aside, no modifier) closes it as its
// Cancel button would, from whichever control has the focus.
class DialogConventions : public QObject {
    Q_OBJECT

public:
    // Watches the dialog and its controls for Esc; cancel runs on a plain Esc (the
    // dialog's reject when empty). Call once the controls are made.
    static void Install(QDialog& dialog, std::function<void()> cancel = {});
    // Keeps the dialog above other windows when topMost is set.
    static void KeepOnTop(QDialog& dialog, bool topMost);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DialogConventions(QDialog& dialog, std::function<void()> cancel);

    std::function<void()> cancel_;
};

}  // namespace zorvan
