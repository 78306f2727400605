#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QTimer>

class QWidget;

namespace zorvan {

// When the program should lock itself: after some time without input to it, and
// when the desktop session locks (logind's Lock signal or the screen saver over
// D-Bus on Linux; the WTS session notifications on Windows).
class LockTriggers : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit LockTriggers(QObject* parent = nullptr);
    ~LockTriggers() override;

    // 0 turns the idle lock off.
    void SetIdleTime(int milliseconds);
    int idleTime() const { return idleMs_; }
    // Windows sends its session notifications to a window of ours.
    void WatchSessionOf(QWidget* window);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void lockRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void SessionLocked();
    void ScreenSaverChanged(bool active);

private:
    void WatchDesktopSession();

    QTimer idle_;
    int idleMs_ = 0;
    QWidget* watched_ = nullptr;
};

}  // namespace zorvan
