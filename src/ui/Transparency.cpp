#include "ui/Transparency.h"

#include <QGuiApplication>
#include <QWidget>

namespace zorvan {

bool SetTransparency(QWidget* window, int level) {
    if (window == nullptr || level < 0 || level > 255) {
        return false;
    }
    // Wayland has no per-window opacity for clients.
    if (level < 255 && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        return false;
    }
    window->setWindowOpacity(level / 255.0);
    return true;
}

}  // namespace zorvan
