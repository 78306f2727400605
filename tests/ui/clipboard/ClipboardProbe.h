#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zorvan::test {

// Another program on the X display that DISPLAY names, with a connection and a
// window of its own: it asks for the CLIPBOARD as programs that paste do, and
// copies to it. Kept apart from Qt code: Xlib's macros clash with Qt's headers.
class ClipboardProbe {
public:
    ClipboardProbe();
    ~ClipboardProbe();
    ClipboardProbe(const ClipboardProbe&) = delete;
    ClipboardProbe& operator=(const ClipboardProbe&) = delete;

    bool connected() const { return display_ != nullptr; }

    // The names of the targets that the clipboard's owner offers (TARGETS);
    // empty when nobody holds the clipboard.
    std::vector<std::string> Targets();
    // The bytes the owner gives for a target, or nothing when it refuses.
    std::optional<std::string> Content(const std::string& target);
    // Takes the clipboard, as a copy in another program does.
    void Copy();

private:
    void* display_ = nullptr;
    unsigned long window_ = 0;
};

}  // namespace zorvan::test
