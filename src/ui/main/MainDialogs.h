#pragma once

#include <memory>

namespace zorvan {

class frmMain;
class frmGroup;
class frmImport;
class frmItem;
class frmOption;

// How the main window's commands open the dialogs.
class MainDialogs {
public:
    // Installs the real dialogs in the main window's commands.
    static void Install(frmMain& main);

    // The item dialog for the main window's edit row (a new item when there is
    // none), saving into the shown group and list.
    static std::unique_ptr<frmItem> Item(frmMain& main);
    // The group dialog over the main window's selector.
    static std::unique_ptr<frmGroup> Group(frmMain& main);
    // The import/export dialog, showing what it imports into the listed group.
    static std::unique_ptr<frmImport> Import(frmMain& main);
    // The options dialog over the main window, applying the opacity it chooses.
    static std::unique_ptr<frmOption> Options(frmMain& main);
    // Rates the whole vault (with progress), shows "パスワードの診断", and opens the
    // item chosen there.
    static void Report(frmMain& main);
};

}  // namespace zorvan
