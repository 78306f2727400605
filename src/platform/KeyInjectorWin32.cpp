// Typing through SendInput: characters as Unicode packets, which need no key on
// the user's keyboard layout, and Tab, Enter and Alt as virtual keys.
#include <windows.h>

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

class Win32KeyInjector final : public KeyInjector {
public:
    bool Available() override { return true; }

    bool Type(std::span<const KeyAction> keys) override {
        std::vector<INPUT> inputs;
        inputs.reserve(keys.size() * 4);  // a surrogate pair takes four events
        for (const KeyAction& key : keys) {
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
                    // Each UTF-16 unit pressed and released in turn; the target
                    // joins a surrogate pair from its two character messages.
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
        const bool sent = SendAll(inputs);
        SecureWipe(inputs.data(), inputs.size() * sizeof(INPUT));
        return sent;
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
