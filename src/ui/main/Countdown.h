#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QAction;

namespace zorvan {

class frmTooltip;

// The auto-type countdown: one tick a second shows the seconds left (and the window
// the keys would reach) in the tooltip popup, and the last tick sends the text. The
// auto-type button is disabled while it runs.
class Countdown : public QObject {
    Q_OBJECT

public:
    Countdown(frmTooltip& tooltip, QAction& button, QObject* parent);
    ~Countdown() override;

    // Text is sent after waitSeconds ticks; an earlier text is dropped, never sent.
    void Start(int waitSeconds, const QString& keystrokes);
    // One tick: counts down, and sends the keystrokes on the last one.
    void Tick();
    // Drops a countdown under way without sending anything.
    void Cancel();
    void SetKeystrokeSender(std::function<void(const QString&)> send) { send_ = std::move(send); }
    void SetTargetNamer(std::function<QString()> name) { nameTarget_ = std::move(name); }
    int secondsLeft() const { return secondsLeft_; }

private:
    frmTooltip& tooltip_;
    QAction& button_;
    QTimer timer_;
    QString text_;
    std::function<void(const QString&)> send_;
    std::function<QString()> nameTarget_;
    int secondsLeft_ = 0;
};

}  // namespace zorvan
