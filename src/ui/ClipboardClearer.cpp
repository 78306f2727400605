#include "ui/ClipboardClearer.h"

#include <chrono>

namespace zorvan {

ClipboardClearer::ClipboardClearer(UiServices& ui) : ui_(ui) {
    timer_.setSingleShot(true);
    // Clearing is a matter of seconds; a coarse timer saves the system wake-ups.
    timer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { ClearNow(); });
}

ClipboardClearer::~ClipboardClearer() {
    ClearNow();
}

void ClipboardClearer::Copy(const QString& text, UiServices::Clip kind, int seconds) {
    ui_.SetClipboardText(text, kind);
    pending_ = seconds > 0;
    if (pending_) {
        timer_.start(std::chrono::seconds(seconds));
    } else {
        timer_.stop();
    }
}

void ClipboardClearer::ClearNow() {
    timer_.stop();
    if (pending_ && ui_.ClipboardHoldsOurs()) {
        ui_.ClearClipboard();
    }
    pending_ = false;
}

}  // namespace zorvan
