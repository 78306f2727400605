#include "ui/main/MainDialogs.h"

#include <QComboBox>

#include "ui/Session.h"
#include "ui/Transparency.h"
#include "ui/dialogs/ItemSaver.h"
#include "ui/dialogs/frmBackUp.h"
#include "ui/dialogs/frmGroup.h"
#include "ui/dialogs/frmImport.h"
#include "ui/dialogs/frmItem.h"
#include "ui/dialogs/frmOption.h"
#include "ui/main/GroupEditor.h"
#include "ui/main/ItemCommands.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/PasswordChange.h"
#include "ui/main/frmMain.h"

namespace zorvan {

void MainDialogs::Install(frmMain& main) {
    // Each opening gets a fresh dialog, discarded when it closes.
    auto& dialogs = main.commands().dialogs();
    dialogs.item = [&main] { Item(main)->exec(); };
    dialogs.group = [&main](const QString& name, bool blnAddState) {
        Group(main)->ShowGroupInfo(name, blnAddState);
    };
    dialogs.options = [&main] { Options(main)->exec(); };
    dialogs.importExport = [&main] {
        frmImport dialog(main);
        dialog.exec();
    };
    dialogs.backup = [&main] {
        frmBackUp dialog(main.session(), main.ui(), main.topMost(), &main);
        dialog.exec();
        if (dialog.blnRestored) {
            main.Form_Load();
        }
    };
    dialogs.passwordChange = [&main] { PasswordChange(main).Run(); };
}

std::unique_ptr<frmItem> MainDialogs::Item(frmMain& main) {
    const MainState& state = main.state();
    frmItem::Input input;
    input.paths = main.session().paths;
    input.existing = state.intEditSlot != 0;
    if (state.intEditSlot > 0 && state.intEditSlot < main.itemModel()->nextTag()) {
        input.block = main.itemModel()->BlockOfTag(state.intEditSlot);
    }
    input.group = state.strCurrentGroup;
    input.readOnly = state.blnReadOnlyGroup;
    input.hidePassword = !main.passwordsShown();
    input.topMost = main.topMost();
    input.load = [&main](BlockNumber block) { return main.session().vault.LoadItem(block); };
    input.save = [&main](const ItemRecord& item) { ItemSaver(main).Save(item); };
    return std::make_unique<frmItem>(std::move(input), main.ui(), &main);
}

std::unique_ptr<frmGroup> MainDialogs::Group(frmMain& main) {
    frmGroup::Input input;
    const QComboBox* selector = main.groupSelector();
    for (int i = 0; i < selector->count(); ++i) {
        input.groups << selector->itemText(i);
    }
    input.shown = selector->currentIndex();
    input.readOnly = main.state().blnReadOnlyGroup;
    input.topMost = main.topMost();
    input.apply = [&main](const frmGroup::Choice& choice) { GroupEditor(main).Apply(choice); };
    return std::make_unique<frmGroup>(std::move(input), main.ui(), &main);
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
