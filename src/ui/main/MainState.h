#pragma once

#include <QString>
#include <vector>

#include "vault/BlockNumber.h"

namespace zorvan {

// The main window's state that the dialogs read and update: the shown group, its
// write protection, the row and slot handed to the item dialog, and the slot store
// that links list rows (through their tag) to item records. Slot 0 is a dummy.
struct MainState {
    QString strCurrentGroup;
    bool blnReadOnlyGroup = false;
    int intEditIndex = -1;  // list row being edited, -1 for a new item
    int intEditSlot = 0;    // its slot, 0 for a new item

    std::vector<BlockNumber> lngItemBlocks{kNoBlock};
    std::vector<QString> strItemURLs{QString()};
    std::vector<QString> strItemMemos{QString()};

    // Back to the single dummy slot, no group, nothing being edited.
    void Reset() {
        strCurrentGroup.clear();
        intEditSlot = 0;
        intEditIndex = -1;
        lngItemBlocks.assign(1, kNoBlock);
        strItemURLs.assign(1, QString());
        strItemMemos.assign(1, QString());
    }
};

}  // namespace zorvan
