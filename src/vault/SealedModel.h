#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vault/BlockNumber.h"
#include "vault/ItemRecord.h"
#include "vault/LockedBuffer.h"

namespace zorvan {

// The deciphered contents of a protected vault, kept as the bytes that are sealed
// (in guarded memory) with an index of where each item lies. An item is only
// turned into texts when it is loaded, and a change copies the untouched items'
// bytes as they are. Items are known by numbers given out as they are met, stable
// while the vault is open; they play the part the first block does in the legacy
// format, and are never stored.
//
// Contents, little-endian: version byte (1), group count (u32), then per group its
// head (u32 length and bytes: the name, "#1" for write protection) and its item
// count (u32), followed by its items, most recently used first. An item is five
// texts (u32 length, UTF-8 bytes): name, user ID, password, URL, memo; then the
// expiry flags (i32) and the expiry date (IEEE double).
class SealedModel {
public:
    struct Group {
        std::string head;
        std::vector<BlockNumber> items;
    };
    // The next state of the model: the groups as they will be, and the items that
    // are new or changed.
    struct Draft {
        std::vector<Group> groups;
        std::vector<std::pair<BlockNumber, ItemRecord>> fresh;
        BlockNumber nextId = 1;
        BlockNumber Add(ItemRecord item);
        // The first group of the name; nullptr when there is none.
        Group* Find(std::string_view name);
    };

    SealedModel();
    SealedModel(SealedModel&&) noexcept = default;
    SealedModel& operator=(SealedModel&&) noexcept = default;

    // Throws StorageError naming file when the contents do not follow the format.
    static SealedModel Parse(LockedBuffer contents, const std::filesystem::path& file);

    const LockedBuffer& contents() const noexcept { return contents_; }
    const std::vector<Group>& groups() const noexcept { return groups_; }
    std::size_t ItemCount() const noexcept { return itemCount_; }
    bool Has(BlockNumber id) const noexcept;
    // Throws StorageError when no item has the number.
    ItemRecord Load(BlockNumber id) const;

    Draft Edit() const;
    // The model the draft describes; this one is left as it was.
    SealedModel Build(const Draft& draft) const;

private:
    struct Slot {
        std::size_t offset = 0;
        std::size_t length = 0;  // 0: no item has the number
    };

    LockedBuffer contents_;
    std::vector<Group> groups_;
    std::vector<Slot> slots_;  // by number; 0 is never given out
    std::size_t itemCount_ = 0;
};

}  // namespace zorvan
