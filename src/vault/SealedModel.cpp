#include "vault/SealedModel.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "platform/StorageError.h"
#include "vault/GroupIndex.h"

namespace zorvan {

namespace {

constexpr std::uint8_t kContentsVersion = 1;
// Five empty texts, the flags and the date.
constexpr std::size_t kSmallestItem = 5 * 4 + 4 + 8;

class Reader {
public:
    Reader(std::span<const std::uint8_t> bytes, const std::filesystem::path& file)
        : bytes_(bytes), file_(file) {}

    std::size_t at() const noexcept { return at_; }
    std::size_t left() const noexcept { return bytes_.size() - at_; }

    std::span<const std::uint8_t> Take(std::size_t count) {
        if (count > left()) {
            Fail();
        }
        const auto taken = bytes_.subspan(at_, count);
        at_ += count;
        return taken;
    }
    std::uint32_t U32() {
        const auto b = Take(4);
        return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
               static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    }
    std::uint64_t U64() {
        const std::uint64_t low = U32();
        return low | static_cast<std::uint64_t>(U32()) << 32;
    }
    std::span<const std::uint8_t> Text() { return Take(U32()); }
    [[noreturn]] void Fail() const {
        throw StorageError(file_, "保護された保管庫の中身が壊れています。");
    }

private:
    std::span<const std::uint8_t> bytes_;
    const std::filesystem::path& file_;
    std::size_t at_ = 0;
};

class Writer {
public:
    explicit Writer(std::span<std::uint8_t> out) : out_(out) {}
    std::size_t at() const noexcept { return at_; }
    void Bytes(std::span<const std::uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), out_.begin() + static_cast<std::ptrdiff_t>(at_));
        at_ += bytes.size();
    }
    void U32(std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            out_[at_++] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
    void U64(std::uint64_t value) {
        U32(static_cast<std::uint32_t>(value));
        U32(static_cast<std::uint32_t>(value >> 32));
    }
    void Text(std::string_view text) {
        U32(static_cast<std::uint32_t>(text.size()));
        Bytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    }

private:
    std::span<std::uint8_t> out_;
    std::size_t at_ = 0;
};

std::string_view Fields(const ItemRecord& item, int i) {
    const std::string* fields[] = {&item.ItemName, &item.AccountID, &item.AccountPass,
                                   &item.RelatedURL, &item.AccountMemo};
    return *fields[i];
}

std::size_t ItemSize(const ItemRecord& item) {
    std::size_t size = kSmallestItem;
    for (int i = 0; i < 5; ++i) {
        size += Fields(item, i).size();
    }
    return size;
}

void WriteItem(Writer& out, const ItemRecord& item) {
    for (int i = 0; i < 5; ++i) {
        out.Text(Fields(item, i));
    }
    out.U32(static_cast<std::uint32_t>(item.Expire));
    out.U64(std::bit_cast<std::uint64_t>(item.ExpireDate));
}

void CheckLength(std::size_t length) {
    if (length > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("a text is too long for the protected vault");
    }
}

}  // namespace

BlockNumber SealedModel::Draft::Add(ItemRecord item) {
    for (int i = 0; i < 5; ++i) {
        CheckLength(Fields(item, i).size());
    }
    const BlockNumber id = nextId++;
    fresh.emplace_back(id, std::move(item));
    return id;
}

SealedModel::Group* SealedModel::Draft::Find(std::string_view name) {
    const auto found = std::find_if(groups.begin(), groups.end(), [&](const Group& group) {
        return GroupIndex::GetGroupName(group.head) == name;
    });
    return found == groups.end() ? nullptr : &*found;
}

SealedModel::SealedModel() : contents_(LockedBuffer(1 + 4)), slots_(1) {
    contents_.data()[0] = kContentsVersion;
}

SealedModel SealedModel::Parse(LockedBuffer contents, const std::filesystem::path& file) {
    SealedModel model;
    Reader in(contents.span(), file);
    if (in.Take(1)[0] != kContentsVersion) {
        in.Fail();
    }
    const std::uint32_t groupCount = in.U32();
    // Each group takes at least 8 bytes: a forged count cannot make us reserve much.
    if (groupCount > in.left() / 8) {
        in.Fail();
    }
    model.groups_.reserve(groupCount);
    for (std::uint32_t g = 0; g < groupCount; ++g) {
        const auto head = in.Text();
        Group group{std::string(head.begin(), head.end()), {}};
        const std::uint32_t itemCount = in.U32();
        if (itemCount > in.left() / kSmallestItem ||
            model.slots_.size() + itemCount >
                static_cast<std::size_t>(std::numeric_limits<BlockNumber>::max())) {
            in.Fail();
        }
        group.items.reserve(itemCount);
        for (std::uint32_t i = 0; i < itemCount; ++i) {
            const std::size_t start = in.at();
            for (int field = 0; field < 5; ++field) {
                in.Text();
            }
            in.Take(12);
            group.items.push_back(static_cast<BlockNumber>(model.slots_.size()));
            model.slots_.push_back({start, in.at() - start});
        }
        model.groups_.push_back(std::move(group));
    }
    if (in.left() != 0) {
        in.Fail();
    }
    model.itemCount_ = model.slots_.size() - 1;
    model.contents_ = std::move(contents);
    return model;
}

bool SealedModel::Has(BlockNumber id) const noexcept {
    return id > 0 && static_cast<std::size_t>(id) < slots_.size() &&
           slots_[static_cast<std::size_t>(id)].length != 0;
}

ItemRecord SealedModel::Load(BlockNumber id) const {
    if (!Has(id)) {
        throw StorageError({}, "その項目は保管庫にありません。", id);
    }
    const Slot& slot = slots_[static_cast<std::size_t>(id)];
    Reader in(contents_.span().subspan(slot.offset, slot.length), {});
    ItemRecord item;
    std::string* fields[] = {&item.ItemName, &item.AccountID, &item.AccountPass, &item.RelatedURL,
                             &item.AccountMemo};
    for (auto* field : fields) {
        const auto text = in.Text();
        field->assign(text.begin(), text.end());
    }
    item.Expire = static_cast<std::int32_t>(in.U32());
    item.ExpireDate = std::bit_cast<double>(in.U64());
    return item;
}

SealedModel::Draft SealedModel::Edit() const {
    return Draft{groups_, {}, static_cast<BlockNumber>(slots_.size())};
}

SealedModel SealedModel::Build(const Draft& draft) const {
    std::vector<const ItemRecord*> fresh(static_cast<std::size_t>(draft.nextId), nullptr);
    for (const auto& [id, item] : draft.fresh) {
        fresh[static_cast<std::size_t>(id)] = &item;
    }
    const auto itemSize = [&](BlockNumber id) {
        if (const auto* item = fresh[static_cast<std::size_t>(id)]) {
            return ItemSize(*item);
        }
        if (!Has(id)) {
            throw std::logic_error("a draft names an item the model does not have");
        }
        return slots_[static_cast<std::size_t>(id)].length;
    };
    std::size_t size = 1 + 4;
    for (const Group& group : draft.groups) {
        CheckLength(group.head.size());
        size += 4 + group.head.size() + 4;
        for (const BlockNumber id : group.items) {
            size += itemSize(id);
        }
    }

    SealedModel model;
    model.contents_ = LockedBuffer(size);
    model.slots_.assign(static_cast<std::size_t>(draft.nextId), Slot{});
    model.groups_ = draft.groups;
    Writer out(model.contents_.span());
    out.Bytes(std::span<const std::uint8_t>(&kContentsVersion, 1));
    out.U32(static_cast<std::uint32_t>(draft.groups.size()));
    for (const Group& group : draft.groups) {
        out.Text(group.head);
        out.U32(static_cast<std::uint32_t>(group.items.size()));
        for (const BlockNumber id : group.items) {
            const std::size_t start = out.at();
            if (const auto* item = fresh[static_cast<std::size_t>(id)]) {
                WriteItem(out, *item);
            } else {
                const Slot& slot = slots_[static_cast<std::size_t>(id)];
                out.Bytes(contents_.span().subspan(slot.offset, slot.length));
            }
            model.slots_[static_cast<std::size_t>(id)] = {start, out.at() - start};
        }
    }
    model.itemCount_ = 0;
    for (const Slot& slot : model.slots_) {
        model.itemCount_ += slot.length != 0 ? 1 : 0;
    }
    return model;
}

}  // namespace zorvan
