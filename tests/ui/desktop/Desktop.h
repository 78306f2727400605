#pragma once

#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <vector>

#include "autotype/XvfbServer.h"

struct _XDisplay;

namespace zorvan::test {

// A desktop of the test's own: a private X server with a real window manager, and a
// connection that finds windows by title and sends keys and clicks as X events
// (XTest), as a person's keyboard and mouse would.
class Desktop {
public:
    Desktop() = default;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    ~Desktop();

    // Empty when the server and the window manager run, else what went wrong.
    QString Start(int timeoutMs);
    const QString& display() const { return xvfb_.display(); }

    // Top-level windows the window manager shows, by title.
    QStringList Titles() const;
    // The title of the window the window manager made active, or empty.
    QString ActiveTitle() const;
    // Waits until the active window has the title; false on timeout.
    bool WaitForActive(const QString& title, int timeoutMs) const;
    // Waits until no window has the title; false on timeout.
    bool WaitForGone(const QString& title, int timeoutMs) const;
    // The frame-less rectangle of the first window with the title, in screen
    // coordinates; null when there is none.
    QRect Geometry(const QString& title) const;

    // One press and release of a key (an X keysym) with modifier keysyms held.
    void Key(unsigned long keysym, std::initializer_list<unsigned long> modifiers = {}) const;
    // Types lower-case ASCII letters and digits.
    void Type(const QString& text) const;
    void Click(QPoint at) const;

private:
    std::vector<unsigned long> Clients() const;
    QString Title(unsigned long window) const;
    unsigned long FindWindow(const QString& title) const;

    XvfbServer xvfb_;
    QProcess windowManager_;
    _XDisplay* connection_ = nullptr;
};

}  // namespace zorvan::test
