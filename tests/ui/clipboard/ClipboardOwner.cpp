// Copies to the clipboard through the program's own services, on the X display
// that DISPLAY names, for the clipboard tests to look at from outside. It reads
// commands from standard input, one a line, and answers each with one line:
//   secret HEX, plain HEX  puts the UTF-8 text HEX (hexadecimal) on the clipboard
//   ours                   "yes" while the clipboard holds that copy, else "no"
//   clear                  empties the clipboard
// and "ready" once it runs.
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QSocketNotifier>
#include <cstdio>

#include "ui/UiServices.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zorvan::QtUiServices ui;
    QByteArray pending;
    const auto answer = [](const char* line) {
        std::printf("%s\n", line);
        std::fflush(stdout);
    };
    const auto run = [&](const QByteArray& line) {
        const qsizetype space = line.indexOf(' ');
        const QByteArray command = space < 0 ? line : line.left(space);
        const QString text =
            QString::fromUtf8(QByteArray::fromHex(space < 0 ? QByteArray() : line.mid(space + 1)));
        if (command == "secret" || command == "plain") {
            ui.SetClipboardText(text, command == "secret" ? zorvan::UiServices::Clip::kSecret
                                                          : zorvan::UiServices::Clip::kPlain);
            answer("ok");
        } else if (command == "ours") {
            answer(ui.ClipboardHoldsOurs() ? "yes" : "no");
        } else if (command == "clear") {
            ui.ClearClipboard();
            answer("ok");
        } else {
            answer("unknown");
        }
    };
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            QCoreApplication::quit();  // the test has gone
            return;
        }
        pending.append(buffer, got);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            run(pending.left(end));
            pending.remove(0, end + 1);
        }
    });
    answer("ready");
    return QApplication::exec();
}
