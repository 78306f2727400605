#include "autotype/KeyboardMapProbe.h"

#include <X11/Xlib.h>

namespace zorvan::test {

void AllowXThreads() {
    XInitThreads();
}

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

bool GiveFocus(std::uint64_t window) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XSetInputFocus(display, static_cast<Window>(window), RevertToParent, CurrentTime);
    XSync(display, False);
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    XCloseDisplay(display);
    return focus == static_cast<Window>(window);
}

}  // namespace zorvan::test
