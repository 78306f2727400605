#include "autotype/KeyboardMapProbe.h"

#include <X11/Xlib.h>

namespace zorvan::test {

std::vector<unsigned long> ReadKeyboardMap() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return {};
    }
    int minCode = 0;
    int maxCode = 0;
    int perCode = 0;
    XDisplayKeycodes(display, &minCode, &maxCode);
    KeySym* syms = XGetKeyboardMapping(display, static_cast<KeyCode>(minCode),
                                       maxCode - minCode + 1, &perCode);
    std::vector<unsigned long> map;
    if (syms != nullptr) {
        map.assign(syms, syms + (maxCode - minCode + 1) * perCode);
        XFree(syms);
    }
    XCloseDisplay(display);
    return map;
}

}  // namespace zorvan::test
