#include "desktop/Desktop.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>
#include <cstring>
#include <iterator>

// Xlib last: its macros (None, KeyPress, ...) clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace zorvan::test {

namespace {
constexpr int kPollMs = 20;

// Windows come and go while they are looked at; a request about one that just
// closed fails, and the next poll sees the change.
int IgnoreXErrors(Display* /*x*/, XErrorEvent* /*error*/) {
    return 0;
}

// Waits until the condition holds; false on timeout.
template <typename Condition>
bool Poll(Condition condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QThread::msleep(kPollMs);
    }
    return true;
}

// One property of a window as raw items; empty when it is missing.
std::vector<unsigned char> Property(Display* x, Window window, const char* name, Atom type) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned char> bytes;
    if (XGetWindowProperty(x, window, XInternAtom(x, name, False), 0, 1 << 16, False, type,
                           &actualType, &format, &count, &left, &data) == Success &&
        data != nullptr) {
        const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
        bytes.assign(data, data + count * unit);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return bytes;
}

std::vector<unsigned long> Windows(Display* x, Window window, const char* name) {
    const auto bytes = Property(x, window, name, XA_WINDOW);
    std::vector<unsigned long> windows(bytes.size() / sizeof(long));
    std::memcpy(windows.data(), bytes.data(), windows.size() * sizeof(long));
    return windows;
}
}  // namespace

Desktop::~Desktop() {
    if (connection_ != nullptr) {
        XCloseDisplay(connection_);
    }
    if (windowManager_.state() != QProcess::NotRunning) {
        windowManager_.kill();
        windowManager_.waitForFinished(5000);
    }
}

QString Desktop::Start(int timeoutMs) {
    const QString failure = xvfb_.Start(timeoutMs);
    if (!failure.isEmpty()) {
        return failure;
    }
    XSetErrorHandler(IgnoreXErrors);
    connection_ = XOpenDisplay(display().toLocal8Bit().constData());
    if (connection_ == nullptr) {
        return QStringLiteral("cannot connect to ") + display();
    }
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(connection_, &event, &error, &major, &minor)) {
        return QStringLiteral("the X server has no XTest");
    }
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (openbox.isEmpty()) {
        return QStringLiteral("openbox not found (Debian package openbox)");
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display());
    windowManager_.setProcessEnvironment(environment);
    windowManager_.setStandardOutputFile(QProcess::nullDevice());
    windowManager_.setStandardErrorFile(QProcess::nullDevice());
    windowManager_.start(openbox, {QStringLiteral("--sm-disable")});
    // A window manager announces itself with a check window on the root.
    const Window root = DefaultRootWindow(connection_);
    if (!Poll([&] { return !Windows(connection_, root, "_NET_SUPPORTING_WM_CHECK").empty(); },
              timeoutMs)) {
        return QStringLiteral("the window manager did not start");
    }
    return QString();
}

std::vector<unsigned long> Desktop::Clients() const {
    return Windows(connection_, DefaultRootWindow(connection_), "_NET_CLIENT_LIST");
}

QString Desktop::Title(unsigned long window) const {
    const auto bytes = Property(connection_, window, "_NET_WM_NAME",
                                XInternAtom(connection_, "UTF8_STRING", False));
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qsizetype>(bytes.size()));
}

QStringList Desktop::Titles() const {
    QStringList titles;
    for (const unsigned long window : Clients()) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(connection_, window, &attributes) &&
            attributes.map_state == IsViewable) {
            titles << Title(window);
        }
    }
    return titles;
}

QString Desktop::ActiveTitle() const {
    const auto active = Windows(connection_, DefaultRootWindow(connection_), "_NET_ACTIVE_WINDOW");
    return active.empty() || active[0] == 0 ? QString() : Title(active[0]);
}

bool Desktop::WaitForActive(const QString& title, int timeoutMs) const {
    return Poll([&] { return ActiveTitle() == title; }, timeoutMs);
}

bool Desktop::WaitForGone(const QString& title, int timeoutMs) const {
    return Poll([&] { return !Titles().contains(title); }, timeoutMs);
}

unsigned long Desktop::FindWindow(const QString& title) const {
    for (const unsigned long window : Clients()) {
        if (Title(window) == title) {
            return window;
        }
    }
    return 0;
}

QRect Desktop::Geometry(const QString& title) const {
    const Window window = FindWindow(title);
    XWindowAttributes attributes{};
    if (window == 0 || !XGetWindowAttributes(connection_, window, &attributes)) {
        return {};
    }
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(connection_, window, DefaultRootWindow(connection_), 0, 0, &x, &y,
                          &child);
    return {x, y, attributes.width, attributes.height};
}

void Desktop::Key(unsigned long keysym, std::initializer_list<unsigned long> modifiers) const {
    const auto code = [&](unsigned long sym) { return XKeysymToKeycode(connection_, sym); };
    for (const unsigned long modifier : modifiers) {
        XTestFakeKeyEvent(connection_, code(modifier), True, CurrentTime);
    }
    XTestFakeKeyEvent(connection_, code(keysym), True, CurrentTime);
    XTestFakeKeyEvent(connection_, code(keysym), False, CurrentTime);
    for (auto modifier = std::rbegin(modifiers); modifier != std::rend(modifiers); ++modifier) {
        XTestFakeKeyEvent(connection_, code(*modifier), False, CurrentTime);
    }
    XSync(connection_, False);
}

void Desktop::Type(const QString& text) const {
    for (const QChar c : text) {
        Key(c.unicode());  // Latin-1 keysyms equal their code points
    }
}

void Desktop::Click(QPoint at) const {
    XTestFakeMotionEvent(connection_, -1, at.x(), at.y(), CurrentTime);
    XTestFakeButtonEvent(connection_, 1, True, CurrentTime);
    XTestFakeButtonEvent(connection_, 1, False, CurrentTime);
    XSync(connection_, False);
}

}  // namespace zorvan::test
