#include "ui/main/GroupEditor.h"

#include <QComboBox>
#include <QLabel>

#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/main/frmMain.h"

namespace zorvan {

GroupEditor::GroupEditor(frmMain& main) : main_(main) {}

void GroupEditor::Apply(const frmGroup::Choice& choice) {
    readOnly_ = choice.readOnly;
    if (choice.add) {
        AddGroup(choice.name);
    } else {
        RenameGroup(choice.name);
    }
    main_.UpdateMoveMenu();
}

QString GroupEditor::Head(const QString& name) const {
    return name + QLatin1Char('#') + (readOnly_ ? QLatin1Char('1') : QLatin1Char('0'));
}

void GroupEditor::ShowFlag() {
    const bool readOnly = readOnly_;
    main_.state().blnReadOnlyGroup = readOnly;
    main_.statusPanel(2)->setText(readOnly ? Res(res::kWriteProtected) : QString());
}

void GroupEditor::AddGroup(const QString& strGroupName) {
    // A head never names an existing group, so this appends the group's line.
    main_.session().vault.AddGroup(FromQ(Head(strGroupName)));
    ShowFlag();
    QComboBox* selector = main_.groupSelector();
    MainState& state = main_.state();
    if (state.strCurrentGroup == strGroupName) {
        // A stale name of a removed group must not keep the new group from loading.
        state.strCurrentGroup.clear();
    }
    {
        const QSignalBlocker block(selector);
        selector->addItem(strGroupName);
        selector->setCurrentIndex(-1);
    }
    // Selecting it runs the selector's own handler, which loads the empty group.
    selector->setCurrentIndex(selector->count() - 1);
}

void GroupEditor::RenameGroup(const QString& strGroupName) {
    QComboBox* selector = main_.groupSelector();
    const int shown = selector->currentIndex();
    if (shown < 0) {
        return;
    }
    main_.session().vault.RenameGroup(FromQ(selector->itemText(shown)), FromQ(Head(strGroupName)));
    ShowFlag();
    {
        // The entry keeps its place, so the selector stays in the index's order.
        const QSignalBlocker block(selector);
        selector->setItemText(shown, strGroupName);
        selector->setCurrentIndex(-1);
    }
    // The selector's handler reloads only when the name changed.
    selector->setCurrentIndex(shown);
}

}  // namespace zorvan
