#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "ui/main/ItemListModel.h"
#include "vault/BlockNumber.h"

namespace zorvan {

class frmMain;
struct ItemRecord;

// Fills the item list from the vault: loads the chosen group, makes rows from
// items and keeps the slot store in step. Failures inside a load skip the failing
// step or item and never stop the load.
class ItemList {
public:
    explicit ItemList(frmMain& main);

    // Loads the group chosen in the selector, unless it is the one already shown.
    void cboMain_Click();

    // Makes or replaces a row. itemIndex -1: new row at the top; 0: new row at the
    // end; k > 0: replaces row k (counted from 1), freeing the blocks it showed.
    // A search result gives its group and whether it is write-protected; a replaced
    // row keeps them.
    void AddItemToListView(int itemIndex, const ItemRecord& item, BlockNumber lngPointer,
                           const QString& group = {}, bool readOnly = false);

    // New rows made between BeginRows and EndRows are kept aside and reach the list
    // together, in the places and order that one call at a time gives them; the slot
    // store and the edit row and slot are kept up to date call by call. FlushRows
    // hands over what is kept so far. A row replaced meanwhile flushes first.
    void BeginRows();
    void FlushRows();
    void EndRows();

    // The three columns of a group's list, headings and widths as at the start.
    void AddColumns();
    void ResetColumns();
    // The plain column headings, without sort marks.
    void ResetColumnHeadings();
    void DisableSorting();

    // Column 3 of every row in plain (read again from the vault) or masked.
    void ShowPasswords(bool plain);

    // Two asterisks per character.
    static QString Mask(const QString& password);
    // Row icon for an item's expiry: 1 none, 2 expired (today on or after the date),
    // 3 still ahead. today is in days since 30 December 1899.
    static int ExpiryIcon(bool expire, double expireDate, double today);
    static double Today();

private:
    // Rows of the list with those kept aside.
    int RowCount() const;

    frmMain& main_;
    int batching_ = 0;
    std::vector<ItemListModel::Row> top_;     // in call order; each goes above the last
    std::vector<ItemListModel::Row> bottom_;  // in call order
    std::optional<double> today_;             // one date for a whole batch
};

}  // namespace zorvan
