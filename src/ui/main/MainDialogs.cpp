#include "ui/main/MainDialogs.h"

#include "ui/Session.h"
#include "ui/Transparency.h"
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
    dialogs.options = [&main] { Options(main)->exec(); };
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

std::unique_ptr<frmOption> MainDialogs::Options(frmMain& main) {
    frmOption::Input input{main.session().paths.strIniFile, main.topMost(),
                           QRect(main.x(), main.y(), main.width(), main.height())};
    auto dialog = std::make_unique<frmOption>(std::move(input), main.ui(), &main);
    QObject::connect(dialog.get(), &frmOption::transparencyChosen, &main,
                     [&main](int level) { SetTransparency(&main, level); });
    return dialog;
}

}  // namespace zorvan
