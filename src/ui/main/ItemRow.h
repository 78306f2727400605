#pragma once

#include <QString>

#include "vault/BlockNumber.h"

namespace zorvan {

// One row of the item list: what it shows, and the item it stands for.
struct ItemRow {
    QString name;
    QString userId;
    QString password;  // as shown: plain or masked
    QString url;
    QString memo;
    BlockNumber block = kNoBlock;  // the item's record
    // In search results: the item's group, and whether that group is write-protected.
    // Empty in a group's own list, whose group is the one shown.
    QString group;
    bool readOnly = false;
    int icon = 1;
    // Numbers the row for as long as its group is shown, wherever sorting moves it;
    // the item dialog is handed a row by it. 0 names no row.
    int tag = 0;
};

}  // namespace zorvan
