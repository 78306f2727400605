#pragma once

#include <QString>

namespace zorvan {

// The main window's state that the dialogs read and update: the shown group, its
// write protection, and the row handed to the item dialog.
struct MainState {
    QString strCurrentGroup;
    bool blnReadOnlyGroup = false;
    int intEditIndex = -1;  // list row being edited (counted from 1), -1 for a new item
    int intEditSlot = 0;    // its tag, 0 for a new item

    // No group, nothing being edited.
    void Reset() {
        strCurrentGroup.clear();
        intEditSlot = 0;
        intEditIndex = -1;
    }
};

}  // namespace zorvan
