#include "vault/GroupIndex.h"

#include <algorithm>

#include "vault/TextFile.h"

namespace zorvan {

std::vector<std::string> SplitTabs(std::string_view text) {
    std::vector<std::string> parts;
    parts.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\t')) + 1);
    std::size_t start = 0;
    for (;;) {
        const auto tab = text.find('\t', start);
        if (tab == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, tab - start));
        start = tab + 1;
    }
}

bool IsValidGroupName(std::string_view groupName) {
    return !groupName.empty() && groupName.find_first_of("#{}\t\r\n") == std::string_view::npos;
}

std::string GroupIndex::GetGroupName(std::string_view line) {
    auto end = line.find('#');
    if (end == std::string_view::npos) {
        end = line.find('\t');
    }
    return std::string(line.substr(0, end));
}

std::vector<std::string> GroupIndex::ReadLines() const {
    return textfile::ReadLines(idxFile_);
}

void GroupIndex::Write(const std::vector<std::string>& lines) const {
    textfile::Rewrite(idxFile_, textfile::JoinLines(lines));
}

std::vector<std::string> GroupIndex::GetGroupNames() const {
    std::vector<std::string> names;
    for (const auto& line : ReadLines()) {
        auto name = GetGroupName(line);
        if (!name.empty()) {
            names.push_back(std::move(name));
        }
    }
    if (names.empty()) {
        names.emplace_back();
    }
    return names;
}

std::vector<std::string> GroupIndex::GetGroupItems(std::string_view groupName) const {
    if (groupName.empty()) {
        return {};
    }
    for (const auto& line : ReadLines()) {
        if (GetGroupName(line) == groupName) {
            return SplitTabs(line);
        }
    }
    return {std::string(groupName)};
}

namespace {

// Every line of the group rebuilt in one pass, copying the kept stretches whole (a
// group's line may list a hundred thousand blocks and is rewritten on every use):
// the head, then added (TAB-led numbers), then the blocks for which removes(field)
// is false. Without such a line, one is appended with the head and added.
template <typename Removes>
void RebuildGroupLines(std::vector<std::string>& lines, std::string_view groupName,
                       std::string_view added, bool removesAny, Removes removes) {
    bool found = false;
    for (auto& line : lines) {
        if (GroupIndex::GetGroupName(line) != groupName) {
            continue;
        }
        found = true;
        const std::string_view text(line);
        const auto firstTab = text.find('\t');
        std::string rebuilt;
        rebuilt.reserve(line.size() + added.size());
        rebuilt.append(text.substr(0, firstTab));
        rebuilt.append(added);
        if (firstTab != std::string_view::npos) {
            // Each block is "\t" + number; a removed one is cut out with its TAB.
            std::size_t copyFrom = firstTab;
            for (std::size_t tab = firstTab; removesAny && tab != text.npos;) {
                const std::size_t start = tab + 1;
                tab = text.find('\t', start);
                const std::size_t end = tab == text.npos ? text.size() : tab;
                if (removes(text.substr(start, end - start))) {
                    rebuilt.append(text.substr(copyFrom, start - 1 - copyFrom));
                    copyFrom = end;
                }
            }
            rebuilt.append(text.substr(copyFrom));
        }
        line = std::move(rebuilt);
    }
    if (!found) {
        lines.push_back(std::string(groupName) + std::string(added));
    }
}

}  // namespace

void GroupIndex::ApplyUpdate(std::vector<std::string>& lines, std::string_view groupName,
                             BlockNumber removeBlock, BlockNumber addBlock) {
    const std::string added =
        addBlock == kNoBlock ? std::string() : '\t' + std::to_string(addBlock);
    // Only a field ending in the block's last digit can name it; text that is not a
    // number never equals a block and is kept as it is.
    const char lastDigit = std::to_string(removeBlock).back();
    RebuildGroupLines(lines, groupName, added, removeBlock != kNoBlock,
                      [&](std::string_view field) {
                          if (field.empty() || field.back() != lastDigit) {
                              return false;
                          }
                          const auto block = ParseBlockNumber(field);
                          return block && *block == removeBlock;
                      });
}

void GroupIndex::ApplyBatch(std::vector<std::string>& lines, std::string_view groupName,
                            std::span<const BlockNumber> removeBlocks,
                            std::span<const BlockNumber> addFirst) {
    std::vector<BlockNumber> removed(removeBlocks.begin(), removeBlocks.end());
    // kNoBlock stands for "remove nothing", never for a "-1" on the line.
    std::erase(removed, kNoBlock);
    std::sort(removed.begin(), removed.end());
    std::string added;
    for (const BlockNumber block : addFirst) {
        added += '\t';
        added += std::to_string(block);
    }
    RebuildGroupLines(lines, groupName, added, !removed.empty(), [&](std::string_view field) {
        const auto block = ParseBlockNumber(field);
        return block && std::binary_search(removed.begin(), removed.end(), *block);
    });
}

void GroupIndex::UpdateGroupLine(std::string_view groupName, BlockNumber removeBlock,
                                 BlockNumber addBlock) {
    auto lines = ReadLines();
    ApplyUpdate(lines, groupName, removeBlock, addBlock);
    Write(lines);
}

void GroupIndex::DeleteGroupLine(std::string_view groupName) {
    auto lines = ReadLines();
    std::erase_if(lines, [&](const std::string& line) { return GetGroupName(line) == groupName; });
    Write(lines);
}

void GroupIndex::RenameGroupLine(std::string_view oldName, std::string_view newHead) {
    auto lines = ReadLines();
    for (auto& line : lines) {
        if (GetGroupName(line) != oldName) {
            continue;
        }
        const auto tab = line.find('\t');
        line = std::string(newHead) + (tab == std::string::npos ? std::string() : line.substr(tab));
    }
    Write(lines);
}

void GroupIndex::MoveItem(BlockNumber block, std::string_view fromGroup, std::string_view toGroup) {
    // One rewrite for both changes: a crash in between must not drop the item from
    // both groups.
    auto lines = ReadLines();
    ApplyUpdate(lines, fromGroup, block, kNoBlock);
    ApplyUpdate(lines, toGroup, kNoBlock, block);
    Write(lines);
}

void GroupIndex::RemoveItems(std::string_view groupName, std::span<const BlockNumber> blocks) {
    if (blocks.empty()) {
        return;
    }
    auto lines = ReadLines();
    ApplyBatch(lines, groupName, blocks, {});
    Write(lines);
}

void GroupIndex::MoveItems(std::span<const BlockNumber> blocks, std::string_view fromGroup,
                           std::string_view toGroup) {
    if (blocks.empty()) {
        return;
    }
    // One rewrite for all of them: a crash must leave each item in exactly one group.
    const std::vector<BlockNumber> lastFirst(blocks.rbegin(), blocks.rend());
    auto lines = ReadLines();
    ApplyBatch(lines, fromGroup, blocks, {});
    ApplyBatch(lines, toGroup, {}, lastFirst);
    Write(lines);
}

}  // namespace zorvan
