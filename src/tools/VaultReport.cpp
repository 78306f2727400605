#include "tools/VaultReport.h"

#include <sodium.h>

#include <array>
#include <exception>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

#include "tools/PasswordStrength.h"
#include "vault/ItemRecord.h"
#include "vault/Vault.h"

namespace zorvan {
namespace {

// Passwords are told apart by a hash under a key made for this pass alone and
// forgotten with it, so that what stays in memory cannot be checked against guesses.
class PasswordHasher {
public:
    using Digest = std::array<unsigned char, 16>;

    PasswordHasher() {
        if (sodium_init() < 0) {
            throw std::runtime_error("libsodium could not be initialised");
        }
        crypto_generichash_keygen(key_.data());
    }
    ~PasswordHasher() { sodium_memzero(key_.data(), key_.size()); }
    PasswordHasher(const PasswordHasher&) = delete;
    PasswordHasher& operator=(const PasswordHasher&) = delete;

    Digest operator()(const std::string& password) const {
        Digest digest;
        crypto_generichash(digest.data(), digest.size(),
                           reinterpret_cast<const unsigned char*>(password.data()), password.size(),
                           key_.data(), key_.size());
        return digest;
    }

private:
    std::array<unsigned char, crypto_generichash_KEYBYTES> key_;
};

// Every readable item of the vault, group by group in index order; how many could
// not be read. progress hears of every 256th item and of the last.
template <typename Visit>
std::size_t ForEachItem(const Vault& vault, Visit&& visit,
                        const VaultReport::Progress& progress = {}) {
    std::vector<std::pair<std::string, std::vector<BlockNumber>>> groups;
    std::size_t total = 0;
    for (std::string& group : vault.GroupNames()) {
        auto blocks = vault.GroupBlocks(group);
        total += blocks.size();
        groups.emplace_back(std::move(group), std::move(blocks));
    }
    auto reader = vault.Reader(ItemReader::Scope::kWholeFile);
    std::size_t unreadable = 0;
    std::size_t done = 0;
    for (const auto& [group, blocks] : groups) {
        for (const BlockNumber block : blocks) {
            ItemRecord item;
            bool read = true;
            try {
                item = reader.Load(block);
            } catch (const std::exception&) {
                read = false;  // the vault check names it
                ++unreadable;
            }
            if (read) {
                visit(group, block, item);
            }
            if (progress && (++done % 256 == 0 || done == total)) {
                progress(done, total);
            }
        }
    }
    return unreadable;
}

enum class Expiry { kNone, kExpired, kSoon };

Expiry ExpiryOf(const ItemRecord& item, double today, int days) {
    if (!item.HasExpiry()) {
        return Expiry::kNone;
    }
    if (item.ExpireDate < today) {
        return Expiry::kExpired;
    }
    return item.ExpireDate < today + days ? Expiry::kSoon : Expiry::kNone;
}

}  // namespace

VaultReport::VaultReport(const Vault& vault, double today, int days, const Progress& progress) {
    const PasswordHasher hash;
    // Each password's items, in the order of its first use.
    std::map<PasswordHasher::Digest, std::size_t> slots;
    std::vector<std::vector<Item>> byPassword;
    const auto rate = [&](const std::string& group, BlockNumber block, const ItemRecord& item) {
        Item named{group, block, item.ItemName};
        if (item.AccountPass.empty() ||
            PasswordStrength::Measure(item.AccountPass).level == PasswordStrength::Level::kWeak) {
            weak_.push_back(named);
        }
        switch (ExpiryOf(item, today, days)) {
            case Expiry::kExpired:
                expired_.push_back(named);
                break;
            case Expiry::kSoon:
                expiringSoon_.push_back(named);
                break;
            case Expiry::kNone:
                break;
        }
        // An empty password is no secret shared between items; it is weak already.
        if (!item.AccountPass.empty()) {
            const auto [slot, added] = slots.try_emplace(hash(item.AccountPass), byPassword.size());
            if (added) {
                byPassword.emplace_back();
            }
            byPassword[slot->second].push_back(std::move(named));
        }
    };
    unreadable_ = ForEachItem(vault, rate, progress);
    for (auto& items : byPassword) {
        if (items.size() > 1) {
            reused_.push_back(std::move(items));
        }
    }
}

VaultReport::ExpiryCount VaultReport::CountExpiry(const Vault& vault, double today, int days) {
    ExpiryCount count;
    ForEachItem(vault, [&](const std::string&, BlockNumber, const ItemRecord& item) {
        switch (ExpiryOf(item, today, days)) {
            case Expiry::kExpired:
                ++count.expired;
                break;
            case Expiry::kSoon:
                ++count.expiringSoon;
                break;
            case Expiry::kNone:
                break;
        }
    });
    return count;
}

}  // namespace zorvan
