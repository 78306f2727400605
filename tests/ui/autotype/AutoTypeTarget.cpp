// A window for the auto-type tests to type into: one line edit ("line") or a
// user-ID field and a password field ("fields"), titled as the last argument
// says. It keeps a report file up to date: "focused" once its first field has
// the keyboard focus, then the two fields' texts as UTF-8 in hexadecimal, one
// per line. A file, not a pipe: a pipe that nobody reads while the test types
// would stop this program.
#include <QApplication>
#include <QLineEdit>
#include <QSaveFile>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 4) {
        return 2;
    }
    const bool fields = QByteArray(argv[1]) == "fields";
    const QString reportFile = QString::fromLocal8Bit(argv[2]);

    QWidget window;
    window.setWindowTitle(QString::fromUtf8(argv[3]));
    auto* layout = new QVBoxLayout(&window);
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    second->setEchoMode(QLineEdit::Password);
    layout->addWidget(first);
    layout->addWidget(second);
    second->setVisible(fields);

    bool focused = false;
    const auto report = [&] {
        QSaveFile file(reportFile);  // replaced whole, never read half-written
        if (file.open(QIODevice::WriteOnly)) {
            file.write(focused ? "focused\n" : "waiting\n");
            file.write(first->text().toUtf8().toHex() + '\n');
            file.write(second->text().toUtf8().toHex() + '\n');
            file.commit();
        }
    };
    const auto checkFocus = [&] {
        if (!focused && window.isActiveWindow() && first->hasFocus()) {
            focused = true;
            report();
        }
    };
    QObject::connect(first, &QLineEdit::textChanged, report);
    QObject::connect(second, &QLineEdit::textChanged, report);
    QObject::connect(&app, &QApplication::focusChanged, checkFocus);
    QObject::connect(&app, &QGuiApplication::focusWindowChanged, checkFocus);

    // Without a window manager nobody else gives the window the focus.
    window.show();
    window.activateWindow();
    first->setFocus();
    checkFocus();
    return app.exec();
}
