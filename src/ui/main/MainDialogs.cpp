#include "ui/main/MainDialogs.h"

#include <QComboBox>
#include <optional>

#include "ui/LongOperation.h"
#include "ui/Session.h"
#include "ui/Transparency.h"
#include "ui/dialogs/frmBackUp.h"
#include "ui/dialogs/frmGroup.h"
#include "ui/dialogs/frmImport.h"
#include "ui/dialogs/frmItem.h"
#include "ui/dialogs/frmOption.h"
#include "ui/dialogs/frmReport.h"
#include "ui/main/GroupEditor.h"
#include "ui/main/ItemCommands.h"
#include "ui/main/ItemList.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/ItemSaver.h"
#include "ui/main/ItemSearch.h"
#include "ui/main/PasswordChange.h"
#include "ui/main/VaultUpgrade.h"
#include "ui/main/frmMain.h"
#include "vault/SettingsKeys.h"

namespace zorvan {

void MainDialogs::Install(frmMain& main) {
    // Each opening gets a fresh dialog, discarded when it closes.
    auto& dialogs = main.commands().dialogs();
    dialogs.item = [&main] { Item(main)->exec(); };
    dialogs.group = [&main](const QString& name, bool blnAddState) {
        Group(main)->ShowGroupInfo(name, blnAddState);
    };
    dialogs.options = [&main] {
        if (Options(main)->exec() == QDialog::Accepted) {
            emit main.optionsSaved();
        }
    };
    dialogs.importExport = [&main] { Import(main)->exec(); };
    dialogs.backup = [&main] {
        frmBackUp dialog(main.session(), main.ui(), main.topMost(), &main);
        dialog.exec();
        if (dialog.blnRestored) {
            main.Form_Load();
        }
    };
    dialogs.passwordChange = [&main] { PasswordChange(main).Run(); };
    dialogs.upgrade = [&main] { VaultUpgrade(main).Upgrade(); };
    dialogs.legacyCopy = [&main] { VaultUpgrade(main).WriteLegacyCopy(); };
    dialogs.report = [&main] { Report(main); };
}

void MainDialogs::Report(frmMain& main) {
    const Vault& vault = main.session().vault;
    const int days = vault.Settings().Get(settings::kExpiryDays);
    std::optional<VaultReport> report;
    {
        LongOperation operation(&main, main.progressBar(),
                                QStringLiteral("パスワードを診断しています"));
        report.emplace(
            vault, ItemList::Today(), days,
            [&operation](std::size_t done, std::size_t total) { operation.Progress(done, total); });
    }
    frmReport dialog(*report, days, &main);
    if (dialog.exec() == QDialog::Accepted && dialog.chosen()) {
        main.OpenItem(dialog.chosen()->group, dialog.chosen()->block);
    }
}

std::unique_ptr<frmItem> MainDialogs::Item(frmMain& main) {
    const MainState& state = main.state();
    frmItem::Input input;
    input.paths = main.session().paths;
    input.existing = state.intEditSlot != 0;
    if (state.intEditSlot > 0 && state.intEditSlot < main.itemModel()->nextTag()) {
        input.block = main.itemModel()->BlockOfTag(state.intEditSlot);
    }
    // A search result belongs to its own group.
    const bool listed = state.intEditSlot > 0 && state.intEditIndex >= 1 &&
                        state.intEditIndex <= main.itemModel()->rowCount();
    input.group = listed ? main.GroupOfRow(state.intEditIndex - 1) : state.strCurrentGroup;
    input.readOnly = listed && main.search().active()
                         ? main.itemModel()->row(state.intEditIndex - 1).readOnly
                         : state.blnReadOnlyGroup;
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

std::unique_ptr<frmImport> MainDialogs::Import(frmMain& main) {
    frmImport::Input input;
    input.vault = &main.session().vault;
    input.groupText = main.groupSelector()->currentText();
    input.shownGroup = main.state().strCurrentGroup;
    input.topMost = main.topMost();
    input.groupCreated = [&main](const QString& name) {
        QComboBox* selector = main.groupSelector();
        if (selector->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) {
            return;
        }
        // Listing the name must not select it: the shown group stays as it is.
        const int shown = selector->currentIndex();
        const QSignalBlocker block(selector);
        selector->addItem(name);
        selector->setCurrentIndex(shown);
    };
    input.beginRows = [&main] { main.itemListHandler().BeginRows(); };
    input.endRows = [&main] { main.itemListHandler().EndRows(); };
    input.itemShown = [&main](const ItemRecord& item, BlockNumber block) {
        main.itemListHandler().AddItemToListView(-1, item, block);
    };
    input.flushRows = [&main] { main.itemListHandler().FlushRows(); };
    input.importEnded = [&main] { main.UpdateMoveMenu(); };
    return std::make_unique<frmImport>(std::move(input), main.ui(), &main);
}

std::unique_ptr<frmOption> MainDialogs::Options(frmMain& main) {
    frmOption::Input input{main.session().paths.strIniFile, main.topMost(),
                           QRect(main.x(), main.y(), main.width(), main.height()),
                           main.session().vault.format() == VaultFormat::kProtected};
    auto dialog = std::make_unique<frmOption>(std::move(input), main.ui(), &main);
    QObject::connect(dialog.get(), &frmOption::transparencyChosen, &main,
                     [&main](int level) { SetTransparency(&main, level); });
    return dialog;
}

}  // namespace zorvan
