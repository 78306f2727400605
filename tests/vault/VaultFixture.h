#pragma once

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "vault/CyrptFunction.h"
#include "vault/GroupIndex.h"
#include "vault/ItemStore.h"

namespace zorvan::test {

// An empty vault in its own folder with the key of "zorvan" installed.
class VaultFixture : public ::testing::Test {
protected:
    VaultFixture() { CyrptFunction::SetCipherKey(KeyBytes("zorvan").span()); }

    BlockNumber Store(const ItemRecord& item) {
        ItemPlaintext plain = BuildItemPlaintext(item);
        CyrptFunction::EncryptBytes(plain.bytes.span());
        return store_.StoreItem(plain.bytes.span(), plain.count, item.Expire, item.ExpireDate);
    }

    BlockNumber StoreNamed(const std::string& name) {
        ItemRecord item;
        item.ItemName = name;
        return Store(item);
    }

    std::string Bitmap() const { return ReadBytes(paths_.strBmpFile); }
    std::string ItemFile() const { return ReadBytes(paths_.strItmFile); }

    TempDir dir_;
    DataPaths paths_ = dir_.InitVault();
    ItemStore store_{paths_.strItmFile, paths_.strBmpFile};
    GroupIndex index_{paths_.strIdxFile};
};

}  // namespace zorvan::test
