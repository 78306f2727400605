#include "vault/ItemEdits.h"

#include <exception>

#include "vault/Cipher.h"
#include "vault/GroupIndex.h"
#include "vault/ItemRecord.h"
#include "vault/ItemStore.h"

namespace zorvan {

namespace {

void FreeOrLeak(ItemStore& store, BlockNumber block) {
    try {
        store.FreeItem(block);
    } catch (const std::exception&) {
        // No line names the record any more; its blocks only stay allocated.
    }
}

}  // namespace

BlockNumber ItemEdits::SaveItem(const DataPaths& paths, const Cipher& cipher,
                                std::string_view group, const ItemRecord& item,
                                BlockNumber oldBlock) {
    ItemPlaintext plain = BuildItemPlaintext(item);
    cipher.Encrypt(plain.bytes.span());
    ItemStore store(paths.strItmFile, paths.strBmpFile);
    const BlockNumber newBlock =
        store.StoreItem(plain.bytes.span(), plain.count, item.Expire, item.ExpireDate);
    try {
        GroupIndex(paths.strIdxFile).UpdateGroupLine(group, oldBlock, newBlock);
    } catch (const std::exception&) {
        // No line names the new record: give its blocks back, keep the old item.
        FreeOrLeak(store, newBlock);
        throw;
    }
    if (oldBlock != kNoBlock) {
        FreeOrLeak(store, oldBlock);
    }
    return newBlock;
}

void ItemEdits::DeleteItem(const DataPaths& paths, std::string_view group, BlockNumber block) {
    GroupIndex(paths.strIdxFile).UpdateGroupLine(group, block, kNoBlock);
    ItemStore store(paths.strItmFile, paths.strBmpFile);
    FreeOrLeak(store, block);
}

void ItemEdits::DeleteItems(const DataPaths& paths, std::string_view group,
                            std::span<const BlockNumber> blocks) {
    GroupIndex(paths.strIdxFile).RemoveItems(group, blocks);
    ItemStore store(paths.strItmFile, paths.strBmpFile);
    for (const BlockNumber block : blocks) {
        FreeOrLeak(store, block);
    }
}

void ItemEdits::RemoveGroup(const DataPaths& paths, std::string_view group) {
    GroupIndex index(paths.strIdxFile);
    const auto entry = index.GetGroupItems(group);
    index.DeleteGroupLine(group);
    ItemStore store(paths.strItmFile, paths.strBmpFile);
    for (std::size_t i = 1; i < entry.size(); ++i) {
        if (const auto block = ParseBlockNumber(entry[i])) {
            FreeOrLeak(store, *block);
        }
    }
}

}  // namespace zorvan
