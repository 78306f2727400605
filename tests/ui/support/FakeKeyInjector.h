#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

#include "platform/KeyInjector.h"

namespace zorvan::test {

// Records what auto-type would type instead of typing it. The log holds, in
// order, "AltTab" and one "Type:" entry per call with the keys as text (Tab as
// TAB, Enter as LF), so that a typed text compares equal to its raw text.
// The desktop has two windows, ours and another one; Alt+Tab moves the focus
// between them.
class FakeKeyInjector : public KeyInjector {
public:
    bool Available() override { return available; }

    FocusWindow FocusedWindow() override { return focus; }

    // With a target, a focus that onType moves elsewhere stops the typing.
    TypeResult Type(std::span<const KeyAction> keys, std::uint64_t target) override {
        const QString text = Render(keys);
        log << QStringLiteral("Type:") + text;
        typed << text;
        targets << target;
        if (onType) {
            onType();
        }
        if (target != 0 && focus.id != target) {
            return TypeResult::kFocusMoved;
        }
        return acceptTyping ? TypeResult::kTyped : TypeResult::kRefused;
    }

    bool AltTab() override {
        log << QStringLiteral("AltTab");
        if (onAltTab) {
            onAltTab();
        } else {
            std::swap(focus, other);
        }
        return acceptAltTab;
    }

    static QString Render(std::span<const KeyAction> keys) {
        QString text;
        for (const KeyAction& key : keys) {
            switch (key.kind) {
                case KeyAction::Kind::kTab:
                    text += QLatin1Char('\t');
                    break;
                case KeyAction::Kind::kEnter:
                    text += QLatin1Char('\n');
                    break;
                case KeyAction::Kind::kCharacter:
                    text += QString::fromUcs4(&key.character, 1);
                    break;
            }
        }
        return text;
    }

    bool available = true;
    bool acceptTyping = true;
    bool acceptAltTab = true;
    QStringList log;
    QStringList typed;
    QList<std::uint64_t> targets;
    FocusWindow focus{1, "Zorvan"};
    FocusWindow other{2, "メモ帳"};
    std::function<void()> onAltTab;
    std::function<void()> onType;
};

}  // namespace zorvan::test
