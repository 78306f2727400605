#include "ui/dialogs/DialogConventions.h"

#include <QDialog>
#include <QKeyEvent>
#include <QMenu>

#include "ui/WindowServices.h"

namespace zorvan {

DialogConventions::DialogConventions(QDialog& dialog, std::function<void()> cancel)
    : QObject(&dialog), cancel_(std::move(cancel)) {
    if (!cancel_) {
        cancel_ = [&dialog] { dialog.reject(); };
    }
    // Keys reach the dialog before its controls, so that Esc closes it from anywhere.
    dialog.installEventFilter(this);
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        // An open pop-up menu keeps Esc for closing itself.
        if (qobject_cast<QMenu*>(child) == nullptr) {
            child->installEventFilter(this);
        }
    }
}

void DialogConventions::Install(QDialog& dialog, std::function<void()> cancel) {
    new DialogConventions(dialog, std::move(cancel));
}

void DialogConventions::KeepOnTop(QDialog& dialog, bool topMost) {
    if (topMost) {
        window::SetTopMost(&dialog, true);
    }
}

bool DialogConventions::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape ||
        (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return false;
    }
    cancel_();
    return true;
}

}  // namespace zorvan
