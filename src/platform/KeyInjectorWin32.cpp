// Typing through SendInput: characters as Unicode packets, which need no key on
// the user's keyboard layout, and Tab, Enter and Alt as virtual keys.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/KeyInjector.h"
#include "platform/SecureWipe.h"

namespace zorvan {

namespace {

INPUT VirtualKey(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    return input;
}

INPUT UnicodeUnit(char16_t unit, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = 0;
    input.ki.wScan = static_cast<WORD>(unit);
    input.ki.dwFlags = KEYEVENTF_UNICODE | (down ? 0 : KEYEVENTF_KEYUP);
    return input;
}

// All events in one call, so that the user's own typing cannot come between them.
// False when the system took fewer (for instance blocked by a window of higher
// integrity).
bool SendAll(std::vector<INPUT>& inputs) {
    if (inputs.empty()) {
        return true;
    }
    const UINT count = static_cast<UINT>(inputs.size());
    const UINT sent = SendInput(count, inputs.data(), sizeof(INPUT));
    return sent == count;
}

// The events that type one key.
void AppendKey(const KeyAction& key, std::vector<INPUT>& inputs) {
    switch (key.kind) {
        case KeyAction::Kind::kTab:
            inputs.push_back(VirtualKey(VK_TAB, true));
            inputs.push_back(VirtualKey(VK_TAB, false));
            break;
        case KeyAction::Kind::kEnter:
            inputs.push_back(VirtualKey(VK_RETURN, true));
            inputs.push_back(VirtualKey(VK_RETURN, false));
            break;
        case KeyAction::Kind::kCharacter: {
            // Each UTF-16 unit pressed and released in turn; the target joins a
            // surrogate pair from its two character messages.
            char16_t units[2] = {};
            const std::size_t count = ToUtf16(key.character, units);
            for (std::size_t i = 0; i < count; ++i) {
                inputs.push_back(UnicodeUnit(units[i], true));
                inputs.push_back(UnicodeUnit(units[i], false));
            }
            SecureWipe(units, sizeof units);
            break;
        }
    }
}

std::string WindowTitle(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, title.data(), length + 1);
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, title.data(), got, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, title.data(), got, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

class Win32KeyInjector final : public KeyInjector {
public:
    bool Available() override { return true; }

    FocusWindow FocusedWindow() override {
        const HWND window = GetForegroundWindow();
        if (window == nullptr) {
            return {};
        }
        return {reinterpret_cast<std::uintptr_t>(window), WindowTitle(window)};
    }

    TypeResult Type(std::span<const KeyAction> keys, std::uint64_t target) override {
        if (target == 0) {
            std::vector<INPUT> inputs;
            inputs.reserve(keys.size() * 4);  // a surrogate pair takes four events
            for (const KeyAction& key : keys) {
                AppendKey(key, inputs);
            }
            const bool sent = SendAll(inputs);
            SecureWipe(inputs.data(), inputs.size() * sizeof(INPUT));
            return sent ? TypeResult::kTyped : TypeResult::kRefused;
        }
        // Key by key, each after making sure the target is still in front; the
        // user's own typing may then come between two keys, never into one.
        TypeResult result = TypeResult::kTyped;
        std::vector<INPUT> inputs;
        inputs.reserve(4);
        for (const KeyAction& key : keys) {
            if (reinterpret_cast<std::uintptr_t>(GetForegroundWindow()) != target) {
                result = TypeResult::kFocusMoved;
                break;
            }
            inputs.clear();
            AppendKey(key, inputs);
            if (!SendAll(inputs)) {
                result = TypeResult::kRefused;
            }
        }
        SecureWipe(inputs.data(), inputs.capacity() * sizeof(INPUT));
        return result;
    }

    bool AltTab() override {
        std::vector<INPUT> inputs{VirtualKey(VK_MENU, true), VirtualKey(VK_TAB, true),
                                  VirtualKey(VK_TAB, false), VirtualKey(VK_MENU, false)};
        return SendAll(inputs);
    }
};

}  // namespace

std::unique_ptr<KeyInjector> CreateKeyInjector() {
    return std::make_unique<Win32KeyInjector>();
}

}  // namespace zorvan
