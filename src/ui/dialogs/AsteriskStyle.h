#pragma once

#include <QProxyStyle>

namespace zorvan {

// Masked boxes show "*" for every character, whatever the platform's habit.
class AsteriskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override;
};

}  // namespace zorvan
