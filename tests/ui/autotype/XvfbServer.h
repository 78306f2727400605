#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <csignal>

namespace zorvan::test {

// An X server of the test's own on a display number that was free: Xvfb chooses
// it and writes it to a pipe (-displayfd), so parallel tests never collide and
// no DISPLAY of the machine is used. The server ends with the test process.
class XvfbServer {
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer() { Stop(); }

    // Empty when the server runs, else what went wrong.
    QString Start(int timeoutMs) {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (program.isEmpty()) {
            return QStringLiteral("Xvfb not found (Debian package xvfb)");
        }
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            return QStringLiteral("no pipe");
        }
        const int writeEnd = fds[1];
        process_.setProgram(program);
        process_.setArguments({QStringLiteral("-displayfd"), QString::number(writeEnd),
                               QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                               QStringLiteral("-screen"), QStringLiteral("0"),
                               QStringLiteral("1024x768x24"),
                               // No reset when the last client leaves: connections
                               // made meanwhile would fail.
                               QStringLiteral("-noreset")});
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.setChildProcessModifier([writeEnd] {
            fcntl(writeEnd, F_SETFD, 0);  // the one descriptor Xvfb must inherit
            prctl(PR_SET_PDEATHSIG, SIGTERM);
        });
        process_.start();
        close(writeEnd);
        const bool started = process_.waitForStarted(timeoutMs);
        QString number;
        QElapsedTimer clock;
        clock.start();
        while (started && !number.endsWith(QLatin1Char('\n')) && clock.elapsed() < timeoutMs) {
            pollfd ready{fds[0], POLLIN, 0};
            if (poll(&ready, 1, 200) <= 0) {
                continue;
            }
            char c = 0;
            if (read(fds[0], &c, 1) != 1) {
                break;  // the server ended without naming a display
            }
            number += QLatin1Char(c);
        }
        close(fds[0]);
        if (!number.endsWith(QLatin1Char('\n'))) {
            Stop();
            return QStringLiteral("Xvfb named no display");
        }
        display_ = QLatin1Char(':') + number.trimmed();
        return QString();
    }

    void Stop() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(10000)) {
                process_.kill();
                process_.waitForFinished(10000);
            }
        }
    }

    const QString& display() const { return display_; }

private:
    QProcess process_;
    QString display_;
};

}  // namespace zorvan::test
