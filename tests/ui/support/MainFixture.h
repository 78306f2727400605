#pragma once

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTableView>
#include <memory>

#include "support/FakeUi.h"
#include "support/UiTempVault.h"
#include "ui/main/ItemCommands.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/frmMain.h"
#include "vault/Cipher.h"
#include "vault/GroupIndex.h"
#include "vault/ItemStore.h"
#include "vault/Settings.h"

namespace zorvan::test {

// A main window over its own vault, open with the key of "zorvan", and every
// dialog replaced by a counter.
struct MainFixture {
    explicit MainFixture(bool sample = true) : vault(sample) {
        vault.session->vault.UseKeyOf("zorvan");
    }

    frmMain& Open() {
        main = std::make_unique<frmMain>(*vault.session, ui);
        auto& dialogs = main->commands().dialogs();
        dialogs.item = [this] { ++itemDialogs; };
        dialogs.group = [this](const QString& name, bool add) {
            groupDialogs << (add ? QStringLiteral("+") : QStringLiteral("=")) + name;
        };
        dialogs.options = [this] { ++optionDialogs; };
        main->Form_Load();
        main->show();
        QApplication::setActiveWindow(main.get());
        return *main;
    }

    // Saves a new item first on the group's line, as the item dialog does.
    BlockNumber AddItem(const std::string& group, const std::string& name,
                        const std::string& id = "", const std::string& password = "",
                        const std::string& url = "", const std::string& memo = "") const {
        ItemRecord item;
        item.ItemName = name;
        item.AccountID = id;
        item.AccountPass = password;
        item.RelatedURL = url;
        item.AccountMemo = memo;
        return vault.session->vault.SaveItem(group, item, kNoBlock);
    }

    void AddGroup(const std::string& head) const { vault.session->vault.AddGroup(head); }

    // Group "G", shown at the next load, with A to E (user ID "id-X", password
    // "pw-X"), and a second group "H" with one item.
    void FiveItems(const std::string& head = "G#0") const {
        AddGroup(head);
        AddGroup("H#0");
        AddItem("H", "h1", "h-id", "h-pw");
        for (const char* name : {"E", "D", "C", "B", "A"}) {
            AddItem("G", name, std::string("id-") + name, std::string("pw-") + name);
        }
        Set("lastgroup", "G");
    }

    std::vector<std::string> Line(const std::string& group) const {
        return vault.session->vault.GroupEntry(group);
    }

    std::string Setting(const char* key) const {
        return ReadSetting(vault.session->paths.strIniFile, "Zorvan", key, "<absent>");
    }
    void Set(const char* key, const std::string& value) const {
        WriteSetting(vault.session->paths.strIniFile, "Zorvan", key, value);
    }

    void SelectRows(const QList<int>& rows) const {
        main->itemList()->clearSelection();
        for (const int row : rows) {
            main->itemList()->selectionModel()->select(
                main->itemModel()->index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    // A column of the list: the names unless said otherwise.
    QStringList Names(int column = 0) const {
        QStringList names;
        for (int row = 0; row < main->itemModel()->rowCount(); ++row) {
            names << main->itemModel()->ColumnText(row, column);
        }
        return names;
    }

    QList<int> SelectedRows() const {
        QList<int> rows;
        for (const auto& index : main->itemList()->selectionModel()->selectedRows()) {
            rows << index.row();
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    void Show(const QString& group) const { main->groupSelector()->setCurrentText(group); }

    QStringList GroupEntries() const {
        QStringList names;
        for (int i = 0; i < main->groupSelector()->count(); ++i) {
            names << main->groupSelector()->itemText(i);
        }
        return names;
    }

    // The visible entries of a menu, a disabled one marked with "-".
    static QStringList Visible(const QList<QAction*>& entries) {
        QStringList shown;
        for (QAction* entry : entries) {
            if (entry->isVisible()) {
                shown << (entry->isEnabled() ? QString() : QStringLiteral("-")) + entry->text();
            }
        }
        return shown;
    }

    UiTempVault vault;
    FakeUi ui;
    std::unique_ptr<frmMain> main;
    int itemDialogs = 0;
    int optionDialogs = 0;
    QStringList groupDialogs;
};

}  // namespace zorvan::test
