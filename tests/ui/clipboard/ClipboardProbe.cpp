#include "clipboard/ClipboardProbe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>

namespace zorvan::test {

namespace {

Display* Xd(void* display) {
    return static_cast<Display*>(display);
}

constexpr auto kAnswerTimeout = std::chrono::seconds(30);

}  // namespace

ClipboardProbe::ClipboardProbe() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return;
    }
    display_ = display;
    window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, window_, PropertyChangeMask);
    XSync(display, False);
}

ClipboardProbe::~ClipboardProbe() {
    if (display_ != nullptr) {
        XDestroyWindow(Xd(display_), window_);
        XCloseDisplay(Xd(display_));
    }
}

std::optional<std::string> ClipboardProbe::Content(const std::string& target) {
    Display* display = Xd(display_);
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom property = XInternAtom(display, "ZORVAN_PROBE", False);
    XConvertSelection(display, clipboard, XInternAtom(display, target.c_str(), False), property,
                      window_, CurrentTime);
    XFlush(display);
    const auto deadline = std::chrono::steady_clock::now() + kAnswerTimeout;
    XEvent event{};
    bool notified = false;
    while (!notified && std::chrono::steady_clock::now() < deadline) {
        notified = XCheckTypedWindowEvent(display, window_, SelectionNotify, &event) != False;
        if (!notified) {
            pollfd ready{ConnectionNumber(display), POLLIN, 0};
            poll(&ready, 1, 50);
        }
    }
    if (!notified || event.xselection.property == None) {
        return std::nullopt;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    std::optional<std::string> content;
    if (XGetWindowProperty(display, window_, property, 0, 1 << 20, True, AnyPropertyType, &type,
                           &format, &count, &left, &data) == Success &&
        data != nullptr) {
        // Xlib hands 32-bit items as longs.
        const std::size_t size = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
        content.emplace(reinterpret_cast<const char*>(data), count * size);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return content;
}

std::vector<std::string> ClipboardProbe::Targets() {
    std::vector<std::string> names;
    const auto atoms = Content("TARGETS");
    if (!atoms) {
        return names;
    }
    for (std::size_t at = 0; at + sizeof(Atom) <= atoms->size(); at += sizeof(Atom)) {
        Atom atom = None;
        atoms->copy(reinterpret_cast<char*>(&atom), sizeof atom, at);
        if (char* name = XGetAtomName(Xd(display_), atom)) {
            names.emplace_back(name);
            XFree(name);
        }
    }
    return names;
}

void ClipboardProbe::Copy() {
    Display* display = Xd(display_);
    XSetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False), window_, CurrentTime);
    XSync(display, False);
}

}  // namespace zorvan::test
