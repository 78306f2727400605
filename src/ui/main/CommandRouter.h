#pragma once

#include <QObject>

#include "ui/main/Command.h"

class QAction;

namespace zorvan {

class frmMain;

// Runs the main window's commands when their menu entries and toolbar buttons are
// triggered, and moves the selected items when a move submenu entry is chosen.
class CommandRouter : public QObject {
    Q_OBJECT

public:
    explicit CommandRouter(frmMain& main);

    // Runs the command of a menu entry or toolbar button (source).
    void Run(Command command, QAction* source);

private:
    void Dispatch(Command command);
    void mnuMoveItem_Click(QAction* entry);

    frmMain& main_;
};

}  // namespace zorvan
