#pragma once

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "vault/Cipher.h"
#include "vault/GroupIndex.h"
#include "vault/ItemStore.h"
#include "vault/Vault.h"

namespace zorvan::test {

// An empty vault in its own folder, open with the key of "zorvan".
class VaultFixture : public ::testing::Test {
protected:
    struct OpenVault : Vault {
        explicit OpenVault(DataPaths paths) : Vault(std::move(paths)) { UseKeyOf("zorvan"); }
    };

    BlockNumber Store(const ItemRecord& item) {
        ItemPlaintext plain = BuildItemPlaintext(item);
        cipher().Encrypt(plain.bytes.span());
        return store_.StoreItem(plain.bytes.span(), plain.count, item.Expire, item.ExpireDate);
    }

    BlockNumber StoreNamed(const std::string& name) {
        ItemRecord item;
        item.ItemName = name;
        return Store(item);
    }

    const Cipher& cipher() const { return vault_.cipher(); }

    std::string Bitmap() const { return ReadBytes(paths_.strBmpFile); }
    std::string ItemFile() const { return ReadBytes(paths_.strItmFile); }

    TempDir dir_;
    DataPaths paths_ = dir_.InitVault();
    OpenVault vault_{paths_};
    ItemStore store_{paths_.strItmFile, paths_.strBmpFile, vault_.cipher()};
    GroupIndex index_{paths_.strIdxFile};
};

}  // namespace zorvan::test
