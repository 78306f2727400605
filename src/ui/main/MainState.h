#pragma once

#include <QString>

#include "ui/main/ItemListModel.h"
#include "vault/BlockNumber.h"

namespace zorvan {

// The record of each list row by the row's tag, for code that still reaches rows
// that way; the rows hold their records themselves. Tag 0 and tags of no row read as
// no block.
class RowBlocks {
public:
    void Attach(ItemListModel* model) { model_ = model; }
    // One past the highest tag handed out.
    std::size_t size() const {
        return model_ == nullptr ? 1 : static_cast<std::size_t>(model_->nextTag());
    }
    BlockNumber& operator[](std::size_t tag) {
        ItemRow* row = model_ == nullptr ? nullptr : model_->FindTag(static_cast<int>(tag));
        none_ = kNoBlock;
        return row == nullptr ? none_ : row->block;
    }
    BlockNumber operator[](std::size_t tag) const {
        const ItemRow* row = model_ == nullptr ? nullptr : model_->FindTag(static_cast<int>(tag));
        return row == nullptr ? kNoBlock : row->block;
    }

private:
    ItemListModel* model_ = nullptr;
    BlockNumber none_ = kNoBlock;
};

// The main window's state that the dialogs read and update: the shown group, its
// write protection, and the row handed to the item dialog.
struct MainState {
    QString strCurrentGroup;
    bool blnReadOnlyGroup = false;
    int intEditIndex = -1;  // list row being edited (counted from 1), -1 for a new item
    int intEditSlot = 0;    // its tag, 0 for a new item

    RowBlocks lngItemBlocks;

    // No group, nothing being edited.
    void Reset() {
        strCurrentGroup.clear();
        intEditSlot = 0;
        intEditIndex = -1;
    }
};

}  // namespace zorvan
