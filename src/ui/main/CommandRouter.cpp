#include "ui/main/CommandRouter.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <exception>

#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/main/AboutText.h"
#include "ui/main/AutoType.h"
#include "ui/main/ItemCommands.h"
#include "ui/main/frmMain.h"

namespace zorvan {

CommandRouter::CommandRouter(frmMain& main) : QObject(&main), main_(main) {
    for (const auto& [command, action] : main_.menus().bound) {
        connect(action, &QAction::triggered, this,
                [this, command, action] { Run(command, action); });
    }
    connect(main_.menus().mnuMove, &QMenu::triggered, this, &CommandRouter::mnuMoveItem_Click);
}

void CommandRouter::Run(Command command, QAction* source) {
    if (const int entry = AutoTypeEntry(command); entry >= 0) {
        main_.autoType().mnuSendkeysItem_Click(entry);
        return;
    }
    if (IsSwitch(command)) {
        // A checkable action has already flipped its mark when it triggers; undo that,
        // so that each switch sets the mark itself from the inverse of the old one.
        source->setChecked(!source->isChecked());
    }
    const bool fileCommand =
        command == Command::kImportExport || command == Command::kChangePassword ||
        command == Command::kUpgradeVault || command == Command::kWriteLegacyCopy ||
        command == Command::kBackup || command == Command::kExit;
    if (!fileCommand && !IsSwitch(command) && command != Command::kOptions &&
        command != Command::kReport) {
        Dispatch(command);  // these guard themselves
        return;
    }
    try {
        Dispatch(command);
    } catch (const std::exception& error) {
        // A File command just ends; a view switch or the options say why.
        if (!fileCommand) {
            main_.ui().Message(&main_, ToQ(error.what()), UiServices::Buttons::kOk);
        }
    }
}

void CommandRouter::Dispatch(Command command) {
    switch (command) {
        case Command::kImportExport:
            return main_.commands().ImportExport();
        case Command::kChangePassword:
            return main_.commands().ChangeMasterPassword();
        case Command::kUpgradeVault:
            return main_.commands().UpgradeVault();
        case Command::kWriteLegacyCopy:
            return main_.commands().WriteLegacyCopy();
        case Command::kBackup:
            return main_.commands().Backup();
        case Command::kExit:
            main_.close();
            return;
        case Command::kNewGroup:
            return main_.commands().NewGroup();
        case Command::kDeleteGroup:
            return main_.commands().DeleteGroup();
        case Command::kRenameGroup:
            return main_.commands().GroupProperties();
        case Command::kNewItem:
            return main_.commands().NewItem();
        case Command::kCopyId:
            return main_.commands().UseSelectedItem(ItemCommands::kCopyId);
        case Command::kCopyPassword:
            return main_.commands().UseSelectedItem(ItemCommands::kCopyPassword);
        case Command::kOpenUrl:
            return main_.commands().UseSelectedItem(ItemCommands::kOpenUrl);
        case Command::kItemProperties:
            return main_.commands().ItemProperties();
        case Command::kOptions:
            return main_.commands().Options();
        case Command::kReport:
            return main_.commands().Report();
        case Command::kAbout:
            main_.ui().Message(&main_, AboutText(main_.session().vault), UiServices::Buttons::kOk);
            return;
        case Command::kAutoTypeMenu:
            main_.menus().mnuSendkeys->popup(QCursor::pos());
            return;
        default:
            if (IsSwitch(command)) {
                main_.SetSwitch(command, !main_.menus().Find(command)->isChecked(), false);
            }
            return;
    }
}

void CommandRouter::mnuMoveItem_Click(QAction* entry) {
    const QString target = entry->data().toString();
    if (!target.isEmpty()) {
        main_.commands().MoveSelectedItems(target);
    }
}

}  // namespace zorvan
