#include "ui/main/MainKeys.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QTableView>
#include <QWindow>

#include "ui/WindowServices.h"
#include "ui/main/ItemCommands.h"
#include "ui/main/frmMain.h"

namespace zorvan {

namespace {
enum Modifier { kNone = 0, kShift = 1, kCtrl = 2, kAlt = 4, kOther = 8 };

int ModifierState(Qt::KeyboardModifiers modifiers) {
    int state = 0;
    state |= modifiers & Qt::ShiftModifier ? kShift : 0;
    state |= modifiers & Qt::ControlModifier ? kCtrl : 0;
    state |= modifiers & Qt::AltModifier ? kAlt : 0;
    state |= modifiers & Qt::MetaModifier ? kOther : 0;
    return state;
}

bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}
}  // namespace

MainKeys::MainKeys(frmMain& main) : QObject(&main), main_(main) {
    qApp->installEventFilter(this);
}

bool MainKeys::eventFilter(QObject* watched, QEvent* event) {
    // A key press reaches the window once, before the window hands it to the control
    // with the focus and on up through its parents. Acting here, and not at any of
    // those widget deliveries, keeps one press to one command however the focus
    // moves while a command's dialog is open.
    if (event->type() != QEvent::KeyPress ||
        watched != static_cast<QObject*>(main_.windowHandle()) ||
        QApplication::activePopupWidget() != nullptr) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    return Form_KeyDown(key->key(), key->modifiers());
}

bool MainKeys::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    ItemCommands& commands = main_.commands();
    const bool rowSelected = main_.itemList()->selectionModel()->hasSelection();
    switch (ModifierState(modifiers)) {
        case kNone:
            if (key == Qt::Key_F6) {
                main_.groupSelector()->setFocus();
            } else if (key == Qt::Key_Insert) {
                commands.NewItem();
            } else if (key == Qt::Key_Delete) {
                commands.DeleteSelectedItems();
            } else if (IsEnter(key) && rowSelected) {
                commands.ItemProperties();
            }
            return false;
        case kCtrl:
            if (key == Qt::Key_Insert) {
                commands.NewGroup();
            } else if (key == Qt::Key_Delete) {
                commands.DeleteGroup();
            } else if (IsEnter(key) && !main_.groupSelector()->currentText().isEmpty()) {
                commands.GroupProperties();
            } else if (key == Qt::Key_E && rowSelected) {
                commands.CopySelectedUrl();
            }
            return false;
        case kAlt:
            if (IsEnter(key)) {
                commands.Options();
            }
            return false;
        case kCtrl | kShift:
            return MoveToWorkAreaEdge(key);
        default:
            return false;
    }
}

bool MainKeys::MoveToWorkAreaEdge(int key) {
    if (key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_Left && key != Qt::Key_Right) {
        return false;
    }
    const QRect work = window::WorkArea(&main_);
    if (work.isNull()) {
        return false;
    }
    const QRect frame = main_.frameGeometry();
    QPoint to = frame.topLeft();
    switch (key) {
        case Qt::Key_Up:
            to.setY(work.top());
            break;
        case Qt::Key_Down:
            to.setY(work.top() + work.height() - frame.height());
            break;
        case Qt::Key_Left:
            to.setX(work.left());
            break;
        default:
            to.setX(work.left() + work.width() - frame.width());
            break;
    }
    main_.move(to);
    return true;
}

}  // namespace zorvan
