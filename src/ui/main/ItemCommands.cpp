#include "ui/main/ItemCommands.h"

#include <map>

#include <QComboBox>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>
#include <exception>

#include "ui/ClipboardClearer.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/main/ItemList.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/frmMain.h"
#include "vault/GroupIndex.h"
#include "vault/ItemReader.h"
#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"

namespace zorvan {

namespace {

// A window the main window was given; none in tests that leave it out.
void OpenIfSet(const std::function<void()>& open) {
    if (open) {
        open();
    }
}

// Rows (0-based) of the selection in list order.
std::vector<int> SelectedRows(const QTableView* list) {
    std::vector<int> rows;
    for (const QModelIndex& index : list->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}
}  // namespace

ItemCommands::ItemCommands(frmMain& main) : main_(main) {}

void ItemCommands::Guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        main_.ui().Message(&main_, ToQ(error.what()), UiServices::Buttons::kOk);
    }
}

int ItemCommands::SelectedRow() const {
    const auto rows = SelectedRows(main_.itemList());
    return rows.empty() ? -1 : rows.front();
}

void ItemCommands::OpenItemDialog() {
    OpenIfSet(dialogs_.item);
}

void ItemCommands::NewItem() {
    if (main_.groupSelector()->currentText().isEmpty()) {
        main_.ui().Message(&main_, Res(res::kNoGroupSelected), UiServices::Buttons::kOk);
        return;
    }
    main_.state().intEditSlot = 0;
    main_.state().intEditIndex = -1;
    OpenItemDialog();
}

void ItemCommands::ItemProperties() {
    const int row = SelectedRow();
    if (row < 0) {
        return;
    }
    main_.state().intEditSlot = main_.itemModel()->row(row).tag;
    main_.state().intEditIndex = row + 1;
    OpenItemDialog();
}

void ItemCommands::NewGroup() {
    if (dialogs_.group) {
        dialogs_.group(Res(res::kNewGroup), true);
    }
}

void ItemCommands::GroupProperties() {
    if (main_.groupSelector()->currentText().isEmpty()) {
        return;
    }
    if (dialogs_.group) {
        dialogs_.group(main_.state().strCurrentGroup, false);
    }
}

void ItemCommands::DeleteGroup() {
    if (main_.state().blnReadOnlyGroup) {
        return;
    }
    const QString name = main_.groupSelector()->currentText();
    if (name.isEmpty()) {
        return;
    }
    if (main_.ui().Message(&main_, name + Res(res::kConfirmErase), UiServices::Buttons::kYesNo) !=
        UiServices::Answer::kYes) {
        return;
    }
    Guarded([&] { RemoveGroup(name); });
}

void ItemCommands::RemoveGroup(const QString& strGroupName) {
    if (strGroupName.isEmpty()) {
        return;
    }
    QComboBox* selector = main_.groupSelector();
    {
        // Removing the entry must not load a neighbour before the index changes.
        const QSignalBlocker block(selector);
        selector->removeItem(selector->currentIndex());
        selector->setCurrentIndex(-1);
    }
    main_.session().vault.RemoveGroup(FromQ(strGroupName));
    if (selector->count() > 0) {
        selector->setCurrentIndex(0);
    } else {
        main_.itemModel()->ClearRows();
        // Nothing is shown now; a group of the same name made later must load.
        main_.state().strCurrentGroup.clear();
    }
    main_.UpdateMoveMenu();
}

void ItemCommands::DeleteSelectedItems() {
    MainState& state = main_.state();
    if (state.blnReadOnlyGroup) {
        return;
    }
    QTableView* list = main_.itemList();
    ItemListModel* model = main_.itemModel();
    const auto rows = SelectedRows(list);
    if (rows.empty()) {
        return;
    }
    const QString what = rows.size() == 1
                             ? model->row(rows.front()).name
                             : QString::number(rows.size()) + QStringLiteral("個のアイテム");
    if (main_.ui().Message(&main_, what + Res(res::kConfirmErase),
                           UiServices::Buttons::kOkCancel) != UiServices::Answer::kOk) {
        return;
    }
    // Search results may come from several groups: each group's rows go at once.
    std::map<QString, std::vector<BlockNumber>> byGroup;
    for (const int row : rows) {
        byGroup[main_.GroupOfRow(row)].push_back(model->row(row).block);
    }
    // The selection lands where the last deleted row was, counted after the rows
    // above it went; when nothing could be deleted, on the first selected row.
    int lastPosition = rows.front() + 1;
    Guarded([&] {
        for (const auto& [group, blocks] : byGroup) {
            main_.session().vault.DeleteItems(FromQ(group), blocks);
        }
        lastPosition = rows.back() - static_cast<int>(rows.size()) + 2;
        model->RemoveRows(rows);
    });
    list->clearSelection();
    if (model->rowCount() < lastPosition) {
        lastPosition = model->rowCount();
    }
    if (lastPosition >= 1) {
        list->selectRow(lastPosition - 1);
    }
}

void ItemCommands::UseSelectedItem(int intKind) {
    const int row = SelectedRow();
    if (row < 0) {
        return;
    }
    const ItemRow& shown = main_.itemModel()->row(row);
    const BlockNumber block = shown.block;
    const QString url = shown.url;
    Vault& vault = main_.session().vault;
    const std::string group = FromQ(main_.GroupOfRow(row));
    Guarded([&] {
        if (intKind == kCopyId || intKind == kCopyPassword) {
            const ItemRecord item = vault.UseItem(group, block);
            Copy(ToQ(intKind == kCopyId ? item.AccountID : item.AccountPass),
                 UiServices::Clip::kSecret);
            return;
        }
        if (intKind == kOpenUrl && !url.isEmpty()) {
            main_.ui().OpenUrl(url);
        }
        vault.MarkUsed(group, block);
    });
}

void ItemCommands::CopySelectedUrl() {
    const int row = SelectedRow();
    if (row < 0) {
        return;
    }
    const BlockNumber block = main_.itemModel()->row(row).block;
    Guarded([&] {
        const ItemRecord item = main_.session().vault.LoadItem(block);
        Copy(ToQ(item.RelatedURL), UiServices::Clip::kPlain);
    });
}

void ItemCommands::Copy(const QString& text, UiServices::Clip kind) {
    // Read at every copy, as the options dialog may have changed it; a negative
    // number counts as off.
    const int seconds = main_.session().vault.Setting(settings::kClipboardClear,
                                                      settings::kClipboardClearProtected);
    main_.clipboard().Copy(text, kind, std::max(seconds, 0));
}

void ItemCommands::MoveSelectedItems(const QString& targetGroup) {
    ItemListModel* model = main_.itemModel();
    QTableView* list = main_.itemList();
    const auto rows = SelectedRows(list);
    if (rows.empty()) {
        return;
    }
    std::map<QString, std::vector<BlockNumber>> byGroup;
    for (const int row : rows) {
        byGroup[main_.GroupOfRow(row)].push_back(model->row(row).block);
    }
    Guarded([&] {
        for (const auto& [source, blocks] : byGroup) {
            main_.session().vault.MoveItems(blocks, FromQ(source), FromQ(targetGroup));
        }
        model->RemoveRows(rows);
    });
    list->clearSelection();
}

void ItemCommands::Options() {
    OpenIfSet(dialogs_.options);
}

void ItemCommands::ImportExport() {
    OpenIfSet(dialogs_.importExport);
}

void ItemCommands::Backup() {
    OpenIfSet(dialogs_.backup);
}

void ItemCommands::ChangeMasterPassword() {
    OpenIfSet(dialogs_.passwordChange);
}

void ItemCommands::UpgradeVault() {
    OpenIfSet(dialogs_.upgrade);
}

void ItemCommands::Report() {
    OpenIfSet(dialogs_.report);
}

void ItemCommands::WriteLegacyCopy() {
    OpenIfSet(dialogs_.legacyCopy);
}

}  // namespace zorvan
