#include "tools/SearchIndex.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <limits>
#include <stdexcept>
#include <utility>

#include "platform/SecureWipe.h"
#include "tools/KanaFold.h"
#include "vault/ItemRecord.h"
#include "vault/Vault.h"

namespace zorvan {
namespace {

// Folded fields are closed by a zero byte, which no query holds, so a match never
// runs from one field or item into the next.
constexpr char kEnd = '\0';

// Items read before the buffers are sized for the rest.
constexpr std::int64_t kSample = 1000;

template <typename Buffer>
void Put(std::string_view text, Buffer& out) {
    // Item texts come from zero-terminated records, but a zero byte in an edited
    // one must still not end its field early.
    for (const char c : text) {
        out.push_back(c == kEnd ? ' ' : c);
    }
    out.push_back(kEnd);
}

// Wipes the scratch text on every way out.
struct Scratch {
    std::string text;
    ~Scratch() { SecureWipe(text); }
};

std::uint32_t Offset(std::size_t at) {
    if (at > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("search index over 4 GiB");
    }
    return static_cast<std::uint32_t>(at);
}

}  // namespace

SearchIndex::SearchIndex(const Vault& vault) {
    // The blocks first: knowing the item count, the buffers can be sized once
    // instead of doubling, which at its peak would hold three times the texts.
    std::vector<std::pair<std::uint32_t, std::vector<BlockNumber>>> lines;
    std::size_t total = 0;
    for (const std::string& group : vault.GroupNames()) {
        const std::size_t known = groups_.size();
        const std::uint32_t number = GroupNumber(group);
        if (number < known) {
            continue;  // a second line of the same group: GroupBlocks gave all of it
        }
        lines.emplace_back(number, vault.GroupBlocks(group));
        total += lines.back().second.size();
    }
    entries_.reserve(total);

    auto reader = vault.Reader(ItemReader::Scope::kWholeFile);
    std::int64_t order = 0;
    for (const auto& [number, blocks] : lines) {
        for (const BlockNumber block : blocks) {
            ItemRecord item;
            try {
                item = reader.Load(block);
            } catch (const std::exception&) {
                // The vault check reports damaged records; the search goes on without.
                ++unreadable_;
                continue;
            }
            Append(number, block, order++, item);
            if (order == kSample && total > kSample) {
                ReserveFor(total);
            }
        }
    }
    // An estimate that was far off leaves much unused; a close one is kept, as the
    // copy that shrinking makes would raise the peak more than it saves.
    if (folded_.capacity() > folded_.size() + folded_.size() / 2) {
        folded_.shrink_to_fit();
    }
    if (shown_.capacity() > shown_.size() + shown_.size() / 2) {
        shown_.shrink_to_fit();
    }
}

void SearchIndex::ReserveFor(std::size_t total) {
    // The items read so far, with a little more for items longer than these.
    const auto estimate = [&](const Buffer& buffer) {
        return buffer.size() * total / entries_.size() * 23 / 20;
    };
    folded_.reserve(estimate(folded_));
    shown_.reserve(estimate(shown_));
}

SearchIndex::~SearchIndex() {
    WipeGroupNames();
}

// A protected vault keeps its group names inside the seal; so does this.
void SearchIndex::WipeGroupNames() noexcept {
    for (std::string& group : groups_) {
        SecureWipe(group);
    }
}

SearchIndex& SearchIndex::operator=(SearchIndex&& other) noexcept {
    if (this != &other) {
        WipeGroupNames();
        groups_ = std::move(other.groups_);
        entries_ = std::move(other.entries_);
        folded_ = std::move(other.folded_);
        shown_ = std::move(other.shown_);
        live_ = std::exchange(other.live_, 0);
        unreadable_ = std::exchange(other.unreadable_, 0);
        front_ = other.front_;
        inOrder_ = other.inOrder_;
    }
    return *this;
}

void SearchIndex::Append(std::uint32_t group, BlockNumber block, std::int64_t order,
                         const ItemRecord& item) {
    Entry entry{};
    entry.group = group;
    entry.block = block;
    entry.order = order;
    entry.shown = Offset(shown_.size());
    Put(item.ItemName, shown_);
    Put(item.AccountID, shown_);
    Put(item.RelatedURL, shown_);

    entry.folded = Offset(folded_.size());
    const std::string* fields[] = {&item.ItemName, &item.AccountID, &item.RelatedURL,
                                   &item.AccountMemo};
    // Folding never lengthens a text, so the scratch text never moves (which would
    // leave a copy behind unwiped).
    Scratch scratch;
    std::size_t longest = 0;
    for (const std::string* field : fields) {
        longest = std::max(longest, field->size());
    }
    scratch.text.reserve(longest);
    for (const std::string* field : fields) {
        scratch.text.clear();
        AppendKanaFold(*field, scratch.text);
        Put(scratch.text, folded_);
    }
    entry.foldedEnd = Offset(folded_.size());
    entries_.push_back(entry);
    ++live_;
}

std::uint32_t SearchIndex::GroupNumber(std::string_view group) {
    const auto found = std::find(groups_.begin(), groups_.end(), group);
    if (found != groups_.end()) {
        return static_cast<std::uint32_t>(found - groups_.begin());
    }
    groups_.emplace_back(group);
    return static_cast<std::uint32_t>(groups_.size() - 1);
}

std::vector<SearchHit> SearchIndex::Find(std::string_view query, std::size_t limit) const {
    Scratch folded;
    folded.text.reserve(query.size());
    AppendKanaFold(query, folded.text);
    std::erase(folded.text, kEnd);
    if (folded.text.empty() || limit == 0 || entries_.empty()) {
        return {};
    }

    const std::boyer_moore_horspool_searcher searcher(folded.text.begin(), folded.text.end());
    const auto begin = folded_.begin();
    std::vector<const Entry*> found;
    auto at = begin;
    auto entry = entries_.begin();
    while (true) {
        at = std::search(at, folded_.end(), searcher);
        if (at == folded_.end()) {
            break;
        }
        const auto offset = static_cast<std::uint32_t>(at - begin);
        // The entry holding the match: the last one starting at or before it.
        entry =
            std::upper_bound(entry, entries_.end(), offset,
                             [](std::uint32_t value, const Entry& e) { return value < e.folded; }) -
            1;
        // Removed entries hold only zero bytes, so every match is in a live one.
        found.push_back(&*entry);
        if (inOrder_ && found.size() == limit) {
            break;
        }
        at = begin + entry->foldedEnd;
    }

    const auto before = [](const Entry* a, const Entry* b) {
        return a->group != b->group ? a->group < b->group : a->order < b->order;
    };
    if (found.size() > limit) {
        std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(limit),
                          found.end(), before);
        found.resize(limit);
    } else if (!inOrder_) {
        std::sort(found.begin(), found.end(), before);
    }
    std::vector<SearchHit> hits;
    hits.reserve(found.size());
    for (const Entry* e : found) {
        hits.push_back(HitOf(*e));
    }
    return hits;
}

SearchHit SearchIndex::HitOf(const Entry& entry) const {
    SearchHit hit;
    hit.group = groups_[entry.group];
    hit.block = entry.block;
    const char* text = shown_.data() + entry.shown;
    for (std::string_view* field : {&hit.name, &hit.id, &hit.url}) {
        *field = std::string_view(text);
        text += field->size() + 1;
    }
    return hit;
}

void SearchIndex::Update(std::string_view group, BlockNumber oldBlock, BlockNumber newBlock,
                         const ItemRecord& item) {
    if (oldBlock != kNoBlock) {
        Remove(group, oldBlock);
    }
    Append(GroupNumber(group), newBlock, --front_, item);
    inOrder_ = false;
    CompactIfSparse();
}

void SearchIndex::Remove(std::string_view group, BlockNumber block) {
    const auto named = std::find(groups_.begin(), groups_.end(), group);
    if (named == groups_.end()) {
        return;
    }
    const auto number = static_cast<std::uint32_t>(named - groups_.begin());
    for (Entry& entry : entries_) {
        if (entry.block == block && entry.group == number) {
            Drop(entry);
        }
    }
    CompactIfSparse();
}

void SearchIndex::Drop(Entry& entry) noexcept {
    SecureWipe(folded_.data() + entry.folded, entry.foldedEnd - entry.folded);
    SecureWipe(shown_.data() + entry.shown, ShownEnd(entry) - entry.shown);
    entry.block = kNoBlock;
    --live_;
}

std::size_t SearchIndex::ShownEnd(const Entry& entry) const noexcept {
    const std::string_view url = HitOf(entry).url;
    return static_cast<std::size_t>(url.data() + url.size() + 1 - shown_.data());
}

void SearchIndex::CompactIfSparse() {
    if (live_ * 2 >= entries_.size()) {
        return;
    }
    std::vector<Entry> kept;
    kept.reserve(live_);
    for (const Entry& entry : entries_) {
        if (entry.block != kNoBlock) {
            kept.push_back(entry);
        }
    }
    std::sort(kept.begin(), kept.end(), [](const Entry& a, const Entry& b) {
        return a.group != b.group ? a.group < b.group : a.order < b.order;
    });
    Buffer folded;
    Buffer shown;
    folded.reserve(folded_.size());
    shown.reserve(shown_.size());
    for (Entry& entry : kept) {
        const auto copy = [](const Buffer& from, std::size_t begin, std::size_t end, Buffer& to) {
            to.insert(to.end(), from.begin() + static_cast<std::ptrdiff_t>(begin),
                      from.begin() + static_cast<std::ptrdiff_t>(end));
        };
        const std::size_t foldedLength = entry.foldedEnd - entry.folded;
        copy(folded_, entry.folded, entry.foldedEnd, folded);
        entry.folded = Offset(folded.size() - foldedLength);
        entry.foldedEnd = Offset(folded.size());
        const std::size_t shownEnd = ShownEnd(entry);
        const std::size_t shownLength = shownEnd - entry.shown;
        copy(shown_, entry.shown, shownEnd, shown);
        entry.shown = Offset(shown.size() - shownLength);
    }
    // The old buffers are wiped as they are freed.
    folded_ = std::move(folded);
    shown_ = std::move(shown);
    entries_ = std::move(kept);
    inOrder_ = true;
}

std::size_t SearchIndex::MemoryBytes() const noexcept {
    std::size_t bytes = folded_.capacity() + shown_.capacity() +
                        entries_.capacity() * sizeof(Entry) +
                        groups_.capacity() * sizeof(std::string);
    for (const std::string& group : groups_) {
        bytes += group.capacity() + 1;
    }
    return bytes;
}

}  // namespace zorvan
