#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "vault/BlockNumber.h"

namespace zorvan {

class Vault;

// The password check over the whole vault: weak passwords, passwords shared by
// several items, and items whose expiry date has passed or is near. It names items
// only; no password leaves the pass over the vault.
//
// Dates are OLE dates (days since 30 December 1899). today is the caller's, so that
// it can be fixed in tests; passing today at midnight makes an item that expires
// today one that expires soon, not one that has expired.
class VaultReport {
public:
    struct Item {
        std::string group;
        BlockNumber block = kNoBlock;
        std::string name;
        bool operator==(const Item&) const = default;
    };

    struct ExpiryCount {
        std::size_t expired = 0;
        std::size_t expiringSoon = 0;
        bool operator==(const ExpiryCount&) const = default;
    };

    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    // Reads every item once, group by group in index order; each list keeps that
    // order. A record that cannot be read is left out and counted. Rating the
    // passwords takes a few seconds at 100,000 items, hence the progress.
    VaultReport(const Vault& vault, double today, int days, const Progress& progress = {});

    // Weak by PasswordStrength, empty passwords among them.
    const std::vector<Item>& weak() const noexcept { return weak_; }
    // One list per password used by more than one item, in the order of each
    // password's first use.
    const std::vector<std::vector<Item>>& reused() const noexcept { return reused_; }
    // Expiring items with a date before today.
    const std::vector<Item>& expired() const noexcept { return expired_; }
    // Expiring items with today <= date < today + days.
    const std::vector<Item>& expiringSoon() const noexcept { return expiringSoon_; }
    std::size_t unreadable() const noexcept { return unreadable_; }

    // The two expiry figures alone, for the status line after login.
    static ExpiryCount CountExpiry(const Vault& vault, double today, int days);

private:
    std::vector<Item> weak_;
    std::vector<std::vector<Item>> reused_;
    std::vector<Item> expired_;
    std::vector<Item> expiringSoon_;
    std::size_t unreadable_ = 0;
};

}  // namespace zorvan
