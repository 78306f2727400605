#include "ui/LockTriggers.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#if ZORVAN_HAVE_DBUS
#include <unistd.h>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#endif

#ifdef _WIN32
#include <windows.h>
#include <wtsapi32.h>
#endif

namespace zorvan {

LockTriggers::LockTriggers(QObject* parent) : QObject(parent) {
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, &LockTriggers::lockRequested);
    qApp->installEventFilter(this);
    qApp->installNativeEventFilter(this);
    WatchDesktopSession();
}

LockTriggers::~LockTriggers() {
    if (qApp != nullptr) {
        qApp->removeNativeEventFilter(this);
    }
#ifdef _WIN32
    if (watched_ != nullptr) {
        WTSUnRegisterSessionNotification(reinterpret_cast<HWND>(watched_->winId()));
    }
#endif
}

void LockTriggers::SetIdleTime(int milliseconds) {
    idleMs_ = std::max(milliseconds, 0);
    if (idleMs_ == 0) {
        idle_.stop();
    } else {
        idle_.start(idleMs_);
    }
}

bool LockTriggers::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            if (idleMs_ > 0) {
                idle_.start(idleMs_);
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void LockTriggers::SessionLocked() {
    emit lockRequested();
}

void LockTriggers::ScreenSaverChanged(bool active) {
    if (active) {
        emit lockRequested();
    }
}

void LockTriggers::WatchDesktopSession() {
#if ZORVAN_HAVE_DBUS
    // logind tells every session's own object when the session is to lock.
    QDBusConnection system = QDBusConnection::systemBus();
    if (system.isConnected()) {
        QDBusInterface manager(QStringLiteral("org.freedesktop.login1"),
                               QStringLiteral("/org/freedesktop/login1"),
                               QStringLiteral("org.freedesktop.login1.Manager"), system);
        const QDBusReply<QDBusObjectPath> session =
            manager.call(QStringLiteral("GetSessionByPID"), static_cast<quint32>(getpid()));
        if (session.isValid()) {
            system.connect(QStringLiteral("org.freedesktop.login1"), session.value().path(),
                           QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Lock"),
                           this, SLOT(SessionLocked()));
        }
    }
    // Desktops without logind's signal still announce their screen saver.
    QDBusConnection desktop = QDBusConnection::sessionBus();
    if (desktop.isConnected()) {
        for (const auto& service : {QStringLiteral("org.freedesktop.ScreenSaver"),
                                    QStringLiteral("org.gnome.ScreenSaver")}) {
            desktop.connect(service, QStringLiteral("/") + QString(service).replace('.', '/'),
                            service, QStringLiteral("ActiveChanged"), this,
                            SLOT(ScreenSaverChanged(bool)));
        }
    }
#endif
}

void LockTriggers::WatchSessionOf(QWidget* window) {
    watched_ = window;
#ifdef _WIN32
    WTSRegisterSessionNotification(reinterpret_cast<HWND>(window->winId()),
                                   NOTIFY_FOR_THIS_SESSION);
#endif
}

bool LockTriggers::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) {
    (void)eventType;
    (void)message;
    (void)result;
#ifdef _WIN32
    const auto* msg = static_cast<const MSG*>(message);
    if (msg->message == WM_WTSSESSION_CHANGE && msg->wParam == WTS_SESSION_LOCK) {
        emit lockRequested();
    }
#endif
    return false;
}

}  // namespace zorvan
