#pragma once

#include <utility>
#include <vector>

#include "ui/main/Command.h"

class QAction;
class QComboBox;
class QMainWindow;
class QMenu;
class QToolBar;

namespace zorvan {

// The main window's menus and toolbar. Each menu's entries (separators included)
// are kept in their order and toolbar buttons by position (button k is
// tlbButtons[k - 1]); every entry that runs a command is also listed with it.
struct MainMenus {
    QMenu* mnuFile = nullptr;
    std::vector<QAction*> mnuFileItem;
    QMenu* mnuEdit = nullptr;
    std::vector<QAction*> mnuEditItem;
    QMenu* mnuView = nullptr;
    std::vector<QAction*> mnuViewItem;
    QMenu* mnuSendkeys = nullptr;
    std::vector<QAction*> mnuSendkeysItem;
    QMenu* mnuHelp = nullptr;
    std::vector<QAction*> mnuHelpItem;
    QMenu* mnuPopup = nullptr;
    std::vector<QAction*> mnuPopupItem;
    QMenu* mnuMove = nullptr;  // the popup's "移動" submenu
    QToolBar* tlbMain = nullptr;
    std::vector<QAction*> tlbButtons;
    // Menu entries first, then toolbar buttons.
    std::vector<std::pair<Command, QAction*>> bound;

    // Builds the menu bar, the context menu and the toolbar of the window.
    static MainMenus Build(QMainWindow* window);

    QAction* ToolButton(int position) const {
        return tlbButtons[static_cast<std::size_t>(position - 1)];
    }

    // Every entry and button that runs the command.
    std::vector<QAction*> Actions(Command command) const;
    // The first of them: the menu entry where there is one.
    QAction* Find(Command command) const;
    // Fills the move submenu: one entry per group of the selector, the shown one
    // disabled.
    void ListMoveTargets(const QComboBox& groups) const;
};

}  // namespace zorvan
