#include "support/X11Windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace zorvan::test {

QStringList ShownWindowTitles(const QString& display) {
    Display* x = XOpenDisplay(display.toLocal8Bit().constData());
    if (x == nullptr) {
        return {};
    }
    const Atom name = XInternAtom(x, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(x, "UTF8_STRING", False);
    QStringList titles;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    // Without a window manager, top-level windows are children of the root.
    if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count) != 0) {
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(x, children[i], &attributes) == 0 ||
                attributes.map_state != IsViewable) {
                continue;
            }
            Atom type = 0;
            int format = 0;
            unsigned long items = 0;
            unsigned long after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(x, children[i], name, 0, 1024, False, utf8, &type, &format,
                                   &items, &after, &data) == Success &&
                data != nullptr) {
                titles << QString::fromUtf8(reinterpret_cast<const char*>(data),
                                            static_cast<qsizetype>(items));
                XFree(data);
            }
        }
        XFree(children);
    }
    XCloseDisplay(x);
    return titles;
}

}  // namespace zorvan::test
