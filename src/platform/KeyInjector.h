#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace zorvan {

// One key to type: a character (a Unicode code point), or a key that types no
// character of its own.
struct KeyAction {
    enum class Kind : std::uint8_t { kCharacter, kTab, kEnter };

    Kind kind = Kind::kCharacter;
    char32_t character = 0;  // kCharacter only

    static constexpr KeyAction Character(char32_t c) { return {Kind::kCharacter, c}; }
    static constexpr KeyAction Tab() { return {Kind::kTab, 0}; }
    static constexpr KeyAction Enter() { return {Kind::kEnter, 0}; }

    bool operator==(const KeyAction&) const = default;
};

// Code points that no text may hold (surrogates, beyond U+10FFFF) become U+FFFD.
constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t ValidCodePoint(char32_t c) {
    return (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) ? kReplacementCharacter : c;
}

// The UTF-16 code units of a code point: one, or a surrogate pair for code
// points above U+FFFF. Returns how many units were written to units.
constexpr std::size_t ToUtf16(char32_t c, char16_t (&units)[2]) {
    c = ValidCodePoint(c);
    if (c < 0x10000) {
        units[0] = static_cast<char16_t>(c);
        return 1;
    }
    c -= 0x10000;
    units[0] = static_cast<char16_t>(0xD800 + (c >> 10));
    units[1] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    return 2;
}

// The top-level window that has the keyboard focus: the one that keys typed now
// would reach.
struct FocusWindow {
    // Stays the same while the focus stays inside that window; 0 when no window
    // has the focus or the system does not tell.
    std::uint64_t id = 0;
    // As UTF-8; empty when the window has none.
    std::string title;
};

// How typing ended.
enum class TypeResult : std::uint8_t {
    kTyped,
    // The system refused some key, or no way to type it was found.
    kRefused,
    // The focus left the target window; the keys from there on were not typed.
    kFocusMoved,
};

// Types keys into whatever window has the keyboard focus, by simulated keystrokes
// that the system delivers as if they came from the keyboard.
class KeyInjector {
public:
    virtual ~KeyInjector() = default;

    // False where this system gives no way to type into other programs (no X
    // display with the XTEST extension, for instance a Wayland-only session).
    virtual bool Available() = 0;

    // The window that has the keyboard focus now.
    virtual FocusWindow FocusedWindow() = 0;

    // Types the keys in order and returns once the system has taken all of them;
    // whether the target has processed them is not known. With a target other
    // than 0 (a FocusWindow id), each key is typed only while that window still
    // has the focus: typing stops at the first key that would reach another one.
    virtual TypeResult Type(std::span<const KeyAction> keys, std::uint64_t target) = 0;

    // Alt down, Tab down, Tab up, Alt up: brings back the window that was active
    // before ours. False when the system refused it.
    virtual bool AltTab() = 0;
};

// The injector of the system the program runs on.
std::unique_ptr<KeyInjector> CreateKeyInjector();

}  // namespace zorvan
