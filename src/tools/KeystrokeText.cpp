#include "tools/KeystrokeText.h"

#include "platform/SecureWipe.h"

namespace zorvan {

namespace {

// The next code point of a UTF-8 text, from pos, which it moves past it. A byte
// that starts no valid sequence is taken alone, as U+FFFD.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        ++pos;
        return kReplacementCharacter;
    }
    if (text.size() - pos < length) {
        ++pos;
        return kReplacementCharacter;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kReplacementCharacter;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < smallest || ValidCodePoint(value) != value) {
        ++pos;
        return kReplacementCharacter;
    }
    pos += length;
    return value;
}

bool IsKeyName(std::string_view text, std::string_view upperName) {
    if (text.size() != upperName.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c != upperName[i]) {
            return false;
        }
    }
    return true;
}

KeyAction CharacterKey(char32_t c) {
    return c == U'\t' ? KeyAction::Tab() : KeyAction::Character(c);
}

}  // namespace

std::string KeystrokeText::RawText(int entry, std::string_view id, std::string_view password) {
    std::string raw;
    // Reserved at once so that no smaller copy of the password is left behind.
    raw.reserve(id.size() + password.size() + 1);
    switch (entry) {
        case kIdTabPass:
            raw.append(id).append(1, '\t').append(password);
            break;
        case kId:
            raw.append(id);
            break;
        case kPass:
            raw.append(password);
            break;
        case kPassWithoutDashes:
            for (const char c : password) {
                if (c != '-') {
                    raw.push_back(c);
                }
            }
            break;
        case kPassDashesAsTabs:
            for (const char c : password) {
                raw.push_back(c == '-' ? '\t' : c);
            }
            break;
        default:
            break;
    }
    return raw;
}

std::string KeystrokeText::Quote(std::string_view raw) {
    std::string quoted;
    quoted.reserve(raw.size() * 5);  // "{TAB}" is the longest form
    // Each character on its own: UTF-8 sequences of other characters hold no
    // ASCII bytes, so they pass through unchanged.
    for (const char c : raw) {
        switch (c) {
            case '{':
            case '}':
            case '(':
            case ')':
            case '[':
            case ']':
            case '+':
            case '%':
            case '~':
            case '^':
                quoted.append(1, '{').append(1, c).append(1, '}');
                break;
            case '\t':
                quoted.append("{TAB}");
                break;
            default:
                quoted.push_back(c);
                break;
        }
    }
    return quoted;
}

std::vector<KeyAction> KeystrokeText::Parse(std::string_view text) {
    std::vector<KeyAction> keys;
    keys.reserve(text.size());  // never more keys than bytes
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t c = NextCodePoint(text, pos);
        if (c == U'~') {
            keys.push_back(KeyAction::Enter());
            continue;
        }
        if (c != U'{' || pos >= text.size()) {
            keys.push_back(CharacterKey(c));
            continue;
        }
        // "{x}" for any one character x, "{" and "}" included.
        std::size_t after = pos;
        const char32_t quoted = NextCodePoint(text, after);
        if (after < text.size() && text[after] == '}') {
            keys.push_back(CharacterKey(quoted));
            pos = after + 1;
            continue;
        }
        // "{NAME}" for a key without a character.
        const std::size_t close = text.find('}', pos);
        if (close != std::string_view::npos) {
            const std::string_view name = text.substr(pos, close - pos);
            if (IsKeyName(name, "TAB")) {
                keys.push_back(KeyAction::Tab());
                pos = close + 1;
                continue;
            }
            if (IsKeyName(name, "ENTER")) {
                keys.push_back(KeyAction::Enter());
                pos = close + 1;
                continue;
            }
        }
        // Anything else: the brace is just a character, and so is what follows.
        keys.push_back(KeyAction::Character(U'{'));
    }
    return keys;
}

void KeystrokeText::Wipe(std::vector<KeyAction>& keys) noexcept {
    SecureWipe(keys.data(), keys.size() * sizeof(KeyAction));
    keys.clear();
}

}  // namespace zorvan
