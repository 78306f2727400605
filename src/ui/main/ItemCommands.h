#pragma once

#include <QString>
#include <functional>

#include "ui/UiServices.h"

namespace zorvan {

class frmMain;

// The main window's commands on items and groups, shared by the menus, the toolbar
// and the keys: deleting, using and moving items, removing groups, and opening the
// dialogs. Storage errors end the command and are shown, except where noted.
class ItemCommands {
public:
    // How the commands open the dialogs; the main window installs the real ones.
    struct Dialogs {
        std::function<void()> item;
        std::function<void(const QString& name, bool blnAddState)> group;
        std::function<void()> options;
        std::function<void()> importExport;
        std::function<void()> backup;
        std::function<void()> passwordChange;
        std::function<void()> upgrade;
        std::function<void()> legacyCopy;
        std::function<void()> report;
    };

    // What the use commands do with the item.
    enum Kind { kCopyId = 1, kCopyPassword = 2, kOpenUrl = 3 };

    explicit ItemCommands(frmMain& main);

    Dialogs& dialogs() { return dialogs_; }

    // Opens the item dialog for intEditIndex and intEditSlot as they stand.
    void OpenItemDialog();
    void NewItem();
    void ItemProperties();
    void NewGroup();
    void GroupProperties();
    void DeleteGroup();
    void RemoveGroup(const QString& strGroupName);
    void DeleteSelectedItems();
    void UseSelectedItem(int intKind);
    void CopySelectedUrl();
    void MoveSelectedItems(const QString& targetGroup);
    void Options();
    void ImportExport();
    void Backup();
    void ChangeMasterPassword();
    void UpgradeVault();
    void WriteLegacyCopy();
    void Report();

    // The first selected row (0-based), or -1.
    int SelectedRow() const;

private:
    // Runs a command; a storage failure is shown and ends it.
    void Guarded(const std::function<void()>& command);
    // Puts an item's text on the clipboard, cleared as the options say.
    void Copy(const QString& text, UiServices::Clip kind);

    frmMain& main_;
    Dialogs dialogs_;
};

}  // namespace zorvan
