#pragma once

#include <sys/prctl.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <csignal>

namespace zorvan::test {

// The target program on the test's X display, and what its report file says.
class TargetWindow {
public:
    TargetWindow() = default;
    TargetWindow(const TargetWindow&) = delete;
    TargetWindow& operator=(const TargetWindow&) = delete;
    ~TargetWindow() {
        process_.kill();
        process_.waitForFinished(10000);
    }

    // fields: a user-ID and a password field; otherwise one line edit.
    void Start(const QString& display, bool fields,
               const QString& title = QStringLiteral("AutoTypeTarget")) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(dir_.filePath(QStringLiteral("output.txt")));
        process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process_.start(
            QStringLiteral(ZORVAN_AUTOTYPE_TARGET),
            {fields ? QStringLiteral("fields") : QStringLiteral("line"), ReportFile(), title});
    }

    bool running() const { return process_.state() != QProcess::NotRunning; }
    bool focused() const { return Line(0) == "focused"; }
    QString first() const { return QString::fromUtf8(QByteArray::fromHex(Line(1))); }
    QString second() const { return QString::fromUtf8(QByteArray::fromHex(Line(2))); }
    // Both fields as one text, the second after a line break.
    QString fields() const { return first() + QLatin1Char('\n') + second(); }
    // What the program wrote to its standard output and error.
    QString output() const {
        QFile file(dir_.filePath(QStringLiteral("output.txt")));
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }

private:
    QString ReportFile() const { return dir_.filePath(QStringLiteral("report.txt")); }

    QByteArray Line(int index) const {
        QFile file(ReportFile());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return file.readAll().split('\n').value(index);
    }

    QTemporaryDir dir_;
    QProcess process_;
};

}  // namespace zorvan::test
