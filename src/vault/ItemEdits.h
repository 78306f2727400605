#pragma once

#include <span>
#include <string_view>

#include "vault/BlockNumber.h"
#include "vault/DataFiles.h"

namespace zorvan {

class Cipher;
struct ItemRecord;

// The item and group changes of the main window and the item dialog, each as a
// sequence of storage calls ordered so that a crash at any point can at most leave
// blocks allocated that no index line names: a record is written before a line
// names it, and freed only after no line names it any more. Storage failures throw.
class ItemEdits {
public:
    // Stores the item (enciphered with cipher) as a new record and puts its block
    // first on the group's line in place of oldBlock (kNoBlock: a new item). When
    // the index cannot be written, the new record's blocks are given back. Then the
    // old record is freed; a record that cannot be freed only stays allocated.
    static BlockNumber SaveItem(const DataPaths& paths, const Cipher& cipher,
                                std::string_view group, const ItemRecord& item,
                                BlockNumber oldBlock);

    // Takes the block off the group's line, then frees the record; a record that
    // cannot be freed only stays allocated.
    static void DeleteItem(const DataPaths& paths, std::string_view group, BlockNumber block);

    // Takes all the blocks off the group's line in one index rewrite, then frees the
    // records in the given order; a record that cannot be freed only stays allocated.
    static void DeleteItems(const DataPaths& paths, std::string_view group,
                            std::span<const BlockNumber> blocks);

    // Removes the group's line, then frees the records it named, likewise.
    static void RemoveGroup(const DataPaths& paths, std::string_view group);
};

}  // namespace zorvan
