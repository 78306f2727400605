#include "ui/main/MainDialogs.h"

#include "ui/dialogs/frmBackUp.h"
#include "ui/dialogs/frmGroup.h"
#include "ui/dialogs/frmImport.h"
#include "ui/dialogs/frmItem.h"
#include "ui/dialogs/frmOption.h"
#include "ui/main/ItemCommands.h"
#include "ui/main/PasswordChange.h"
#include "ui/main/frmMain.h"

namespace zorvan {

void MainDialogs::Install(frmMain& main) {
    // Each opening gets a fresh dialog, discarded when it closes.
    auto& dialogs = main.commands().dialogs();
    dialogs.item = [&main] {
        frmItem dialog(main);
        dialog.exec();
    };
    dialogs.group = [&main](const QString& name, bool blnAddState) {
        frmGroup dialog(main);
        dialog.ShowGroupInfo(name, blnAddState);
    };
    dialogs.options = [&main] {
        frmOption dialog(main);
        dialog.exec();
    };
    dialogs.importExport = [&main] {
        frmImport dialog(main);
        dialog.exec();
    };
    dialogs.backup = [&main] {
        frmBackUp dialog(main);
        dialog.exec();
        if (dialog.blnRestored) {
            main.Form_Load();
        }
    };
    dialogs.passwordChange = [&main] { PasswordChange(main).Run(); };
}

}  // namespace zorvan
