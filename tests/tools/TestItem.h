#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "vault/ItemRecord.h"

namespace zorvan::test {

// An item with the given texts and expiry, for the tests that store items.
inline ItemRecord Item(std::string name, std::string id = "", std::string pass = "",
                       std::string url = "", std::string memo = "", std::int32_t expire = 0,
                       double date = 0.0) {
    ItemRecord item;
    item.ItemName = std::move(name);
    item.AccountID = std::move(id);
    item.AccountPass = std::move(pass);
    item.RelatedURL = std::move(url);
    item.AccountMemo = std::move(memo);
    item.Expire = expire;
    item.ExpireDate = date;
    return item;
}

}  // namespace zorvan::test
