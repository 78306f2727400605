#include "ui/dialogs/AsteriskStyle.h"

namespace zorvan {

int AsteriskStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* data) const {
    if (hint == SH_LineEdit_PasswordCharacter) {
        return '*';
    }
    return QProxyStyle::styleHint(hint, option, widget, data);
}

}  // namespace zorvan
