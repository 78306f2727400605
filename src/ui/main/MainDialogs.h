#pragma once

namespace zorvan {

class frmMain;

// How the main window's commands open the dialogs.
class MainDialogs {
public:
    // Installs the real dialogs in the main window's commands.
    static void Install(frmMain& main);
};

}  // namespace zorvan
