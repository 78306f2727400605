// Typing through the X server's XTEST extension. Where the program is built
// without Xlib and XTest, or no X display can be reached (a Wayland session
// without X11 access), the injector reports itself unavailable.
#include "platform/KeyInjector.h"

#ifdef ZORVAN_HAVE_XTEST
#include "platform/SecureWipe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>
#endif

namespace zorvan {

#ifdef ZORVAN_HAVE_XTEST

namespace {

// How long the client with the keyboard focus may take to answer a ping, and
// how long a client that does not answer pings is given to catch up instead.
constexpr auto kPingTimeout = std::chrono::milliseconds(3000);
constexpr auto kUnsyncedSettleTime = std::chrono::milliseconds(300);

// Counts the X errors that our requests cause, instead of Xlib's default of
// ending the program.
class ErrorTrap {
public:
    ErrorTrap() : previous_(XSetErrorHandler(&ErrorTrap::Handle)), start_(errors_) {}
    ~ErrorTrap() { XSetErrorHandler(previous_); }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool failed() const { return errors_ != start_; }
    unsigned errors() const { return errors_; }
    // Errors since `since` were expected and are not failures of the caller's.
    void Forgive(unsigned since) { start_ += errors_ - since; }

private:
    static int Handle(Display* /*display*/, XErrorEvent* /*event*/) {
        ++errors_;
        return 0;
    }

    static inline unsigned errors_ = 0;
    XErrorHandler previous_;
    unsigned start_;
};

KeySym KeysymFor(const KeyAction& key) {
    switch (key.kind) {
        case KeyAction::Kind::kTab:
            return XK_Tab;
        case KeyAction::Kind::kEnter:
            return XK_Return;
        case KeyAction::Kind::kCharacter:
            break;
    }
    const char32_t c = key.character;
    if (c == U'\t') {
        return XK_Tab;
    }
    if (c == U'\r' || c == U'\n') {
        return XK_Return;
    }
    // Latin-1 characters are their own key symbols; every other character has
    // the Unicode key symbol 0x01000000 + code point.
    if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<KeySym>(c);
    }
    if (c >= 0x100 && ValidCodePoint(c) == c) {
        return static_cast<KeySym>(0x01000000 + c);
    }
    return NoSymbol;  // control characters have no key
}

// The parent of a window, or None when it cannot be asked (it has gone).
Window Parent(Display* display, Window window) {
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) {
        return None;
    }
    if (children != nullptr) {
        XFree(children);
    }
    return parent;
}

// A window's own title: _NET_WM_NAME (UTF-8) where set, else WM_NAME converted
// to UTF-8. Nothing when it has neither.
std::optional<std::string> WindowTitle(Display* display, Window window) {
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    std::optional<std::string> title;
    if (XGetWindowProperty(display, window, netWmName, 0, 4096, False, utf8, &type, &format, &count,
                           &left, &data) == Success &&
        data != nullptr && type == utf8 && format == 8) {
        title.emplace(reinterpret_cast<const char*>(data), count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    XTextProperty name{};
    if (!title && XGetWMName(display, window, &name) != 0 && name.value != nullptr) {
        char** list = nullptr;
        int lines = 0;
        if (Xutf8TextPropertyToTextList(display, &name, &list, &lines) >= Success &&
            list != nullptr) {
            title.emplace(lines > 0 ? list[0] : "");
            XFreeStringList(list);
        }
        XFree(name.value);
    }
    return title;
}

// The window with the keyboard focus. It is identified by its top-level
// ancestor, the child of the root (the window itself, or the frame a window
// manager put around it), so that the focus moving between the fields of one
// program does not count as a move. Its title is that of the nearest window,
// from the focus up, that has one. X errors are the caller's to trap: a window
// may go while it is looked at.
FocusWindow FindFocus(Display* display, bool withTitle) {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    const Window root = DefaultRootWindow(display);
    FocusWindow found;
    bool titled = !withTitle;
    for (Window window = focus; window != None && window != PointerRoot && window != root;) {
        if (!titled) {
            if (auto title = WindowTitle(display, window)) {
                found.title = std::move(*title);
                titled = true;
            }
        }
        const Window parent = Parent(display, window);
        if (parent == root) {
            found.id = window;
        }
        window = parent;
    }
    return found;
}

// Where a key symbol is on the keyboard: the keycode, and whether Shift is needed.
struct KeyLocation {
    KeyCode code = 0;
    bool shift = false;
};

// The keyboard map as it was when typing started.
class KeyboardMap {
public:
    explicit KeyboardMap(Display* display) {
        XDisplayKeycodes(display, &minCode_, &maxCode_);
        KeySym* syms = XGetKeyboardMapping(display, static_cast<KeyCode>(minCode_),
                                           maxCode_ - minCode_ + 1, &perCode_);
        if (syms != nullptr) {
            syms_.assign(syms,
                         syms + static_cast<std::size_t>((maxCode_ - minCode_ + 1) * perCode_));
            XFree(syms);
        }
        if (XModifierKeymap* modifiers = XGetModifierMapping(display)) {
            for (int i = 0; i < 8 * modifiers->max_keypermod; ++i) {
                if (modifiers->modifiermap[i] != 0) {
                    modifierCodes_.push_back(modifiers->modifiermap[i]);
                }
            }
            XFreeModifiermap(modifiers);
        }
    }

    bool valid() const { return !syms_.empty() && perCode_ > 0; }
    int perCode() const { return perCode_; }

    KeySym At(int code, int level) const {
        if (level >= perCode_) {
            return NoSymbol;
        }
        return syms_[static_cast<std::size_t>((code - minCode_) * perCode_ + level)];
    }

    // The first keycode that types sym without Shift, else one that types it
    // with Shift, else none.
    KeyLocation Find(KeySym sym) const {
        for (const bool shift : {false, true}) {
            for (int code = minCode_; code <= maxCode_; ++code) {
                KeySym plain = At(code, 0);
                KeySym shifted = At(code, 1);
                if (shifted == NoSymbol) {
                    // A single symbol stands for its lower case unshifted and its
                    // upper case shifted.
                    XConvertCase(At(code, 0), &plain, &shifted);
                }
                if ((shift ? shifted : plain) == sym && sym != NoSymbol) {
                    return {static_cast<KeyCode>(code), shift};
                }
            }
        }
        return {};
    }

    // Keycodes that no key symbol and no modifier uses, highest first.
    std::vector<KeyCode> SpareCodes() const {
        std::vector<KeyCode> spare;
        for (int code = maxCode_; code >= minCode_; --code) {
            bool empty = true;
            for (int level = 0; level < perCode_ && empty; ++level) {
                empty = At(code, level) == NoSymbol;
            }
            for (const KeyCode modifier : modifierCodes_) {
                empty = empty && modifier != code;
            }
            if (empty) {
                spare.push_back(static_cast<KeyCode>(code));
            }
        }
        return spare;
    }

private:
    int minCode_ = 0;
    int maxCode_ = -1;
    int perCode_ = 0;
    std::vector<KeySym> syms_;
    std::vector<KeyCode> modifierCodes_;
};

// Waits until the client that had the keyboard focus when typing started has
// handled every event sent to it so far: it answers a _NET_WM_PING after
// everything queued before it. Clients translate keycodes with the keyboard map
// they read on handling a change notice, so a keycode may be bound anew, or the
// map put back, only after this. That client stays the one waited for when the
// focus moves on, as its keys may still be queued. Where the client does not
// answer pings (or is this very process, busy typing), a short wait stands in.
class FocusSync {
public:
    FocusSync(Display* display, ErrorTrap& trap)
        : display_(display),
          trap_(trap),
          root_(DefaultRootWindow(display)),
          protocols_(XInternAtom(display, "WM_PROTOCOLS", False)),
          ping_(XInternAtom(display, "_NET_WM_PING", False)),
          pid_(XInternAtom(display, "_NET_WM_PID", False)) {
        const unsigned errors = trap_.errors();
        window_ = PingWindow();
        trap_.Forgive(errors);
    }

    void Wait() {
        const unsigned errors = trap_.errors();
        const bool answered = window_ != None && Ping(window_);
        trap_.Forgive(errors);  // a window may vanish meanwhile; typing goes on
        if (!answered) {
            XSync(display_, False);
            std::this_thread::sleep_for(kUnsyncedSettleTime);
        }
    }

private:
    // The focus window or its nearest ancestor that takes pings, else None.
    Window PingWindow() {
        Window focus = None;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        for (Window window = focus; window != None && window != PointerRoot && window != root_;) {
            if (TakesPings(window)) {
                return OwnedByThisProcess(window) ? None : window;
            }
            window = Parent(display_, window);
        }
        return None;
    }

    bool TakesPings(Window window) {
        Atom* atoms = nullptr;
        int count = 0;
        bool found = false;
        if (XGetWMProtocols(display_, window, &atoms, &count) != 0) {
            for (int i = 0; i < count; ++i) {
                found = found || atoms[i] == ping_;
            }
            XFree(atoms);
        }
        return found;
    }

    bool OwnedByThisProcess(Window window) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long left = 0;
        unsigned char* data = nullptr;
        bool ours = false;
        if (XGetWindowProperty(display_, window, pid_, 0, 1, False, XA_CARDINAL, &type, &format,
                               &count, &left, &data) == Success &&
            data != nullptr) {
            ours = format == 32 && count == 1 &&
                   *reinterpret_cast<unsigned long*>(data) == static_cast<unsigned long>(getpid());
        }
        if (data != nullptr) {
            XFree(data);
        }
        return ours;
    }

    // Sends a ping and waits for the answer, which the client sends to the root
    // window. False when none came in time.
    bool Ping(Window window) {
        const long token = ++token_;
        XEvent ping{};
        ping.xclient.type = ClientMessage;
        ping.xclient.window = window;
        ping.xclient.message_type = protocols_;
        ping.xclient.format = 32;
        ping.xclient.data.l[0] = static_cast<long>(ping_);
        ping.xclient.data.l[1] = token;
        ping.xclient.data.l[2] = static_cast<long>(window);
        XSelectInput(display_, root_, StructureNotifyMask | SubstructureNotifyMask);
        XSendEvent(display_, window, False, NoEventMask, &ping);
        XFlush(display_);
        bool answered = false;
        const auto deadline = std::chrono::steady_clock::now() + kPingTimeout;
        while (!answered && std::chrono::steady_clock::now() < deadline) {
            while (!answered && XPending(display_) > 0) {
                XEvent event{};
                XNextEvent(display_, &event);
                answered = event.type == ClientMessage &&
                           event.xclient.message_type == protocols_ &&
                           static_cast<Atom>(event.xclient.data.l[0]) == ping_ &&
                           event.xclient.data.l[1] == token;
            }
            if (!answered) {
                pollfd ready{ConnectionNumber(display_), POLLIN, 0};
                poll(&ready, 1, 50);
            }
        }
        XSelectInput(display_, root_, NoEventMask);
        XSync(display_, True);  // the root window's other events are of no use
        return answered;
    }

    Display* display_;
    ErrorTrap& trap_;
    Window root_;
    Atom protocols_;
    Atom ping_;
    Atom pid_;
    Window window_ = None;
    static inline long token_ = 0;
};

// Key symbols that the keyboard map lacks, bound for a while to spare keycodes.
// Every binding is undone by Restore (at the latest on destruction), which puts
// the keycodes back as they were.
class TemporaryKeys {
public:
    TemporaryKeys(Display* display, const KeyboardMap& map, FocusSync& sync)
        : display_(display), map_(map), sync_(sync) {
        for (const KeyCode code : map.SpareCodes()) {
            slots_.push_back(Slot{code});
        }
    }
    ~TemporaryKeys() {
        Restore();
        // The symbols bound were characters of the typed text.
        SecureWipe(slots_.data(), slots_.size() * sizeof(Slot));
    }
    TemporaryKeys(const TemporaryKeys&) = delete;
    TemporaryKeys& operator=(const TemporaryKeys&) = delete;

    // A keycode that types sym on every level, or 0 when there is no spare one.
    KeyCode Bind(KeySym sym) {
        Slot* chosen = nullptr;
        for (Slot& slot : slots_) {
            if (slot.sym == sym) {
                return slot.code;
            }
            if (chosen == nullptr || (chosen->sym != NoSymbol &&
                                      (slot.sym == NoSymbol || slot.lastUse < chosen->lastUse))) {
                chosen = &slot;
            }
        }
        if (chosen == nullptr) {
            return 0;
        }
        if (chosen->sym != NoSymbol && chosen->lastUse > settledAt_) {
            Settle();
        }
        KeySym both[2] = {sym, sym};
        XChangeKeyboardMapping(display_, chosen->code, 2, both, 1);
        XSync(display_, False);
        SecureWipe(both, sizeof both);
        chosen->sym = sym;
        chosen->changed = true;
        return chosen->code;
    }

    void Used(KeyCode code) {
        ++clock_;
        for (Slot& slot : slots_) {
            if (slot.code == code) {
                slot.lastUse = clock_;
            }
        }
    }

    void Restore() {
        bool pending = false;
        for (const Slot& slot : slots_) {
            pending = pending || (slot.changed && slot.lastUse > settledAt_);
        }
        if (pending) {
            Settle();
        }
        for (Slot& slot : slots_) {
            if (!slot.changed) {
                continue;
            }
            std::vector<KeySym> original(static_cast<std::size_t>(map_.perCode()));
            for (int level = 0; level < map_.perCode(); ++level) {
                original[static_cast<std::size_t>(level)] = map_.At(slot.code, level);
            }
            XChangeKeyboardMapping(display_, slot.code, map_.perCode(), original.data(), 1);
            slot.changed = false;
            slot.sym = NoSymbol;
        }
        XSync(display_, False);
    }

private:
    struct Slot {
        KeyCode code = 0;
        KeySym sym = NoSymbol;
        unsigned long lastUse = 0;
        bool changed = false;
    };

    void Settle() {
        sync_.Wait();
        settledAt_ = clock_;
    }

    Display* display_;
    const KeyboardMap& map_;
    FocusSync& sync_;
    std::vector<Slot> slots_;
    unsigned long clock_ = 0;
    unsigned long settledAt_ = 0;
};

class X11KeyInjector final : public KeyInjector {
public:
    X11KeyInjector() = default;
    ~X11KeyInjector() override {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    X11KeyInjector(const X11KeyInjector&) = delete;
    X11KeyInjector& operator=(const X11KeyInjector&) = delete;

    bool Available() override {
        if (display_ == nullptr) {
            // Tried again at every use: the display may appear later.
            display_ = XOpenDisplay(nullptr);
            int event = 0, error = 0, major = 0, minor = 0;
            xtest_ = display_ != nullptr &&
                     XTestQueryExtension(display_, &event, &error, &major, &minor) != False;
        }
        return xtest_;
    }

    FocusWindow FocusedWindow() override {
        if (!Available()) {
            return {};
        }
        const ErrorTrap trap;
        FocusWindow focus = FindFocus(display_, true);
        return trap.failed() ? FocusWindow{} : focus;
    }

    TypeResult Type(std::span<const KeyAction> keys, std::uint64_t target) override {
        if (!Available()) {
            return TypeResult::kRefused;
        }
        ErrorTrap trap;
        const KeyboardMap map(display_);
        if (!map.valid()) {
            return TypeResult::kRefused;
        }
        FocusSync sync(display_, trap);
        TemporaryKeys temporary(display_, map, sync);
        const KeyCode shift = map.Find(XK_Shift_L).code;
        bool typed = true;
        bool moved = false;
        for (const KeyAction& key : keys) {
            const KeySym sym = KeysymFor(key);
            if (sym == NoSymbol) {
                typed = false;
                continue;
            }
            KeyLocation where = map.Find(sym);
            if (where.code == 0 || (where.shift && shift == 0)) {
                where = {temporary.Bind(sym), false};
            }
            if (where.code == 0) {
                typed = false;
                continue;
            }
            // Checked last before the key goes out: binding a key may wait for
            // the focused program, and the focus may move meanwhile.
            if (target != 0) {
                const unsigned errors = trap.errors();
                moved = FindFocus(display_, false).id != target;
                trap.Forgive(errors);  // a window that went counts as a move
                if (moved) {
                    break;
                }
            }
            if (where.shift) {
                typed = Send(shift, true) && typed;
            }
            typed = Send(where.code, true) && Send(where.code, false) && typed;
            if (where.shift) {
                typed = Send(shift, false) && typed;
            }
            temporary.Used(where.code);
        }
        temporary.Restore();
        XSync(display_, True);  // drops the change notices we caused; nothing reads them
        if (moved) {
            return TypeResult::kFocusMoved;
        }
        return typed && !trap.failed() ? TypeResult::kTyped : TypeResult::kRefused;
    }

    bool AltTab() override {
        if (!Available()) {
            return false;
        }
        const ErrorTrap trap;
        const KeyboardMap map(display_);
        const KeyLocation alt = map.Find(XK_Alt_L);
        const KeyLocation tab = map.Find(XK_Tab);
        if (alt.code == 0 || tab.code == 0 || alt.shift || tab.shift) {
            return false;
        }
        const bool sent = Send(alt.code, true) && Send(tab.code, true) && Send(tab.code, false) &&
                          Send(alt.code, false);
        return sent && !trap.failed();
    }

private:
    // One key event, waited for by the server before the next, so that none is
    // lost or reordered.
    bool Send(KeyCode code, bool down) {
        const bool sent = XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime) != 0;
        XSync(display_, False);
        return sent;
    }

    Display* display_ = nullptr;
    bool xtest_ = false;
};

}  // namespace

std::unique_ptr<KeyInjector> CreateKeyInjector() {
    return std::make_unique<X11KeyInjector>();
}

#else

namespace {

class UnavailableKeyInjector final : public KeyInjector {
public:
    bool Available() override { return false; }
    FocusWindow FocusedWindow() override { return {}; }
    TypeResult Type(std::span<const KeyAction> /*keys*/, std::uint64_t /*target*/) override {
        return TypeResult::kRefused;
    }
    bool AltTab() override { return false; }
};

}  // namespace

std::unique_ptr<KeyInjector> CreateKeyInjector() {
    return std::make_unique<UnavailableKeyInjector>();
}

#endif

}  // namespace zorvan
