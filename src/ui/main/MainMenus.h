#pragma once

#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace zorvan {

// The main window's menus and toolbar. Each menu's entries (separators included)
// are kept in index order, so that commands dispatch on the index; toolbar buttons
// are kept by position (button k is tlbButtons[k - 1]).
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

    // Builds the menu bar, the context menu and the toolbar of the window.
    static MainMenus Build(QMainWindow* window);

    QAction* ToolButton(int position) const {
        return tlbButtons[static_cast<std::size_t>(position - 1)];
    }
};

}  // namespace zorvan
