#include "app/ProgramArguments.h"

#include <QCoreApplication>
#include <QStringList>

#ifdef Q_OS_WIN
#include <windows.h>

#include "app/CommandLine.h"
#endif

namespace zorvan {

#ifdef Q_OS_WIN
namespace {
// The raw command line after the program's own name, which may be quoted.
QString RawArguments() {
    const QString line = QString::fromWCharArray(GetCommandLineW());
    qsizetype at = 0;
    if (line.startsWith(QLatin1Char('"'))) {
        const auto close = line.indexOf(QLatin1Char('"'), 1);
        at = close < 0 ? line.size() : close + 1;
    } else {
        const auto blank = line.indexOf(QLatin1Char(' '));
        at = blank < 0 ? line.size() : blank;
    }
    QString rest = line.mid(at);
    while (rest.startsWith(QLatin1Char(' '))) {
        rest.remove(0, 1);
    }
    return rest;
}
}  // namespace

std::vector<std::string> ProgramArguments() {
    const QString raw = RawArguments();
    if (raw.isEmpty()) {
        return {};
    }
    return SplitCommandLine(raw.toStdString());
}
#else
std::vector<std::string> ProgramArguments() {
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) {
        arguments.push_back(all[i].toStdString());
    }
    return arguments;
}
#endif

}  // namespace zorvan
