#pragma once

#include "vault/BlockNumber.h"

namespace zorvan {

class frmMain;
struct ItemRecord;

// Saves an item from the item dialog into the group the main window shows: the
// item becomes a new record, the group's index line takes its block in place of
// the edited item's old one, the old record is freed, and the main window's list
// shows the new one. The row and slot of the main window's edit state are updated, so
// that the next save replaces this record instead of adding another item.
class ItemSaver {
public:
    explicit ItemSaver(frmMain& main) : main_(main) {}

    // Throws StorageError (or another std::exception) when the record or the index
    // cannot be written; the vault is then left as it was, as far as it can be.
    BlockNumber Save(const ItemRecord& item);

    // The item as it reads back from the vault: CR LF gone from the first four texts,
    // every text through code page 932.
    static ItemRecord AsStored(const ItemRecord& item);

private:
    frmMain& main_;
};

}  // namespace zorvan
