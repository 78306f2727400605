#pragma once

#include <QString>
#include <QStringList>

namespace zorvan::test {

// The titles (_NET_WM_NAME) of the windows shown on an X display's screen, for
// checking from outside which windows a program opened. Kept apart from Qt code:
// Xlib's macros clash with Qt's names.
QStringList ShownWindowTitles(const QString& display);

}  // namespace zorvan::test
