#pragma once

#include <QDialog>
#include <QString>
#include <optional>

#include "tools/VaultReport.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace zorvan {

// "パスワードの診断": weak passwords, passwords used by more than one item,
// expired items and items expiring soon. A row's activation (double click or
// Enter) ends the dialog with that item chosen, for the main window to open.
class frmReport : public QDialog {
    Q_OBJECT

public:
    struct Chosen {
        QString group;
        BlockNumber block = kNoBlock;
    };

    frmReport(const VaultReport& report, int days, QWidget* parent = nullptr);

    const std::optional<Chosen>& chosen() const { return chosen_; }
    QTreeWidget* tree() const { return tree_; }

private:
    QTreeWidgetItem* AddSection(const QString& title, std::size_t count);
    static void AddItem(QTreeWidgetItem* parent, const VaultReport::Item& item);
    void Choose(QTreeWidgetItem* row);

    QTreeWidget* tree_ = nullptr;
    std::optional<Chosen> chosen_;
};

}  // namespace zorvan
