#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SecureWipe.h"
#include "vault/BlockNumber.h"

namespace zorvan {

class Vault;
struct ItemRecord;

// One item a query found. The texts are the item's own (not folded) and point into
// the index: they stay valid until the index next changes.
struct SearchHit {
    std::string_view group;
    BlockNumber block = kNoBlock;
    std::string_view name, id, url;
};

// The whole vault in memory for find-as-you-type: per item its group, its block,
// its name, ID and URL as shown, and the folded text (KanaFold) of name, ID, URL and
// memo that queries run over. Passwords are never read into it. The texts live in
// two buffers that are wiped whenever they are freed, since a memo may be secret.
// They are not locked in memory, as item records are not: at 100,000 items they
// would take the locked memory the keys need.
//
// Edits keep it current through Update and Remove; changes to whole groups (rename,
// removal) call for a new index, which costs one pass over the vault.
class SearchIndex {
public:
    SearchIndex() = default;
    // Reads every item of the open vault through one reader, group by group in
    // index order. A record that cannot be read is left out and counted.
    explicit SearchIndex(const Vault& vault);
    ~SearchIndex();
    SearchIndex(SearchIndex&&) noexcept = default;
    SearchIndex& operator=(SearchIndex&& other) noexcept;
    SearchIndex(const SearchIndex&) = delete;
    SearchIndex& operator=(const SearchIndex&) = delete;

    // The items whose folded text holds the folded query, in group order and then
    // in their order within the group, at most limit of them. An empty query (or
    // one that folds to nothing) finds nothing.
    std::vector<SearchHit> Find(std::string_view query, std::size_t limit) const;

    // The item as saved to the group in place of oldBlock (kNoBlock: a new item),
    // first among its group's items, as Vault::SaveItem puts it. A group the index
    // does not know yet comes after the others.
    void Update(std::string_view group, BlockNumber oldBlock, BlockNumber newBlock,
                const ItemRecord& item);
    // The item leaves the group (deleted, or moved: Update puts it in the new one).
    void Remove(std::string_view group, BlockNumber block);

    std::size_t size() const noexcept { return live_; }
    std::size_t unreadable() const noexcept { return unreadable_; }
    // Bytes the index holds on the heap, reserved capacity included.
    std::size_t MemoryBytes() const noexcept;

private:
    // The ordinary heap, wiped before each block goes back to it.
    template <typename T>
    struct WipingAllocator {
        using value_type = T;
        WipingAllocator() noexcept = default;
        template <typename U>
        WipingAllocator(const WipingAllocator<U>&) noexcept {}
        T* allocate(std::size_t count) { return std::allocator<T>().allocate(count); }
        void deallocate(T* memory, std::size_t count) noexcept {
            SecureWipe(memory, count * sizeof(T));
            std::allocator<T>().deallocate(memory, count);
        }
        template <typename U>
        bool operator==(const WipingAllocator<U>&) const noexcept {
            return true;
        }
    };
    using Buffer = std::vector<char, WipingAllocator<char>>;

    struct Entry {
        std::uint32_t folded;     // where its folded text starts in folded_
        std::uint32_t foldedEnd;  // one past its closing zero byte
        std::uint32_t shown;      // its name, ID and URL, each closed by a zero byte
        std::uint32_t group;      // into groups_
        std::int64_t order;       // within the group; edited items get ever smaller ones
        BlockNumber block;        // kNoBlock once removed
    };

    void Append(std::uint32_t group, BlockNumber block, std::int64_t order, const ItemRecord& item);
    std::uint32_t GroupNumber(std::string_view group);
    // Sizes the text buffers for this many items, from those read so far.
    void ReserveFor(std::size_t total);
    void WipeGroupNames() noexcept;
    // Wipes the entry's texts and marks it removed.
    void Drop(Entry& entry) noexcept;
    // Rewrites the buffers without removed entries once they take up half of them.
    void CompactIfSparse();
    SearchHit HitOf(const Entry& entry) const;
    // One past the zero byte closing the entry's URL in shown_.
    std::size_t ShownEnd(const Entry& entry) const noexcept;

    std::vector<std::string> groups_;
    std::vector<Entry> entries_;  // in the order of folded_
    Buffer folded_;
    Buffer shown_;
    std::size_t live_ = 0;
    std::size_t unreadable_ = 0;
    std::int64_t front_ = 0;  // the order the last item put first got
    bool inOrder_ = true;     // entries_ is in result order, so a query may stop early
};

}  // namespace zorvan
