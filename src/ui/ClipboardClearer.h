#pragma once

#include <QString>
#include <QTimer>

#include "ui/UiServices.h"

namespace zorvan {

// Puts the program's copies on the clipboard and, when asked to, empties the
// clipboard again some seconds later and when the program ends. It empties it
// only while it still holds our copy: whatever the user copied since stays.
class ClipboardClearer {
public:
    explicit ClipboardClearer(UiServices& ui);
    // The program ends: a copy still waiting to be cleared is cleared now.
    ~ClipboardClearer();
    ClipboardClearer(const ClipboardClearer&) = delete;
    ClipboardClearer& operator=(const ClipboardClearer&) = delete;

    // Puts text on the clipboard. With seconds above 0 the copy is cleared that
    // many seconds later; with 0 it stays, and an earlier copy's clearing is
    // called off (the clipboard no longer holds that copy anyway).
    void Copy(const QString& text, UiServices::Clip kind, int seconds);

    // Empties the clipboard if a copy waits to be cleared and it still holds
    // that copy; either way, nothing waits any more.
    void ClearNow();

    const QTimer& timer() const { return timer_; }

private:
    UiServices& ui_;
    QTimer timer_;
    bool pending_ = false;
};

}  // namespace zorvan
