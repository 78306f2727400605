#include "ui/main/Countdown.h"

#include <QAction>
#include <QPointer>

#include "ui/LongOperation.h"
#include "ui/main/AutoType.h"
#include "ui/main/frmTooltip.h"

namespace zorvan {

Countdown::Countdown(frmTooltip& tooltip, QAction& button, QObject* parent)
    : QObject(parent), tooltip_(tooltip), button_(button) {
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &Countdown::Tick);
}

Countdown::~Countdown() {
    AutoType::Wipe(text_);
}

void Countdown::Start(int waitSeconds, const QString& keystrokes) {
    secondsLeft_ = waitSeconds;
    AutoType::Wipe(text_);
    text_ = keystrokes;
    button_.setEnabled(false);
    timer_.start();
}

void Countdown::Cancel() {
    if (!timer_.isActive()) {
        return;
    }
    timer_.stop();
    AutoType::Wipe(text_);
    tooltip_.ShowToolTip(QString(), QString());
    button_.setEnabled(true);
}

void Countdown::Tick() {
    if (LongOperation::Running()) {
        // Held until the operation ends: keystrokes are never sent in its middle.
        LongOperation::Later([self = QPointer<Countdown>(this)] {
            if (self != nullptr && self->timer_.isActive()) {
                self->Tick();
            }
        });
        return;
    }
    const int before = secondsLeft_--;
    if (before == 1) {
        tooltip_.ShowToolTip(QString(), QString());
        timer_.stop();
        QString text = std::move(text_);
        text_.clear();
        if (send_) {
            send_(text);
        }
        AutoType::Wipe(text);
        button_.setEnabled(true);
        return;
    }
    QString tip = QString::number(secondsLeft_);
    if (nameTarget_) {
        tip += QStringLiteral("\r\n") + nameTarget_();
    }
    tooltip_.ShowToolTip(QString(), tip);
}

}  // namespace zorvan
