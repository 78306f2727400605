#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "platform/KeyInjector.h"

namespace zorvan::test {

// Records what auto-type would type instead of typing it. The log holds, in
// order, "AltTab" and one "Type:" entry per call with the keys as text (Tab as
// TAB, Enter as LF), so that a typed text compares equal to its raw text.
class FakeKeyInjector : public KeyInjector {
public:
    bool Available() override {
        ++availabilityChecks;
        return available;
    }

    bool Type(std::span<const KeyAction> keys) override {
        const QString text = Render(keys);
        log << QStringLiteral("Type:") + text;
        typed << text;
        if (onType) {
            onType();
        }
        return acceptTyping;
    }

    bool AltTab() override {
        log << QStringLiteral("AltTab");
        if (onAltTab) {
            onAltTab();
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
    int availabilityChecks = 0;
    QStringList log;
    QStringList typed;
    std::function<void()> onAltTab;
    std::function<void()> onType;
};

}  // namespace zorvan::test
