#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vault/BlockNumber.h"

namespace zorvan {

// The group index: one line per group, "name#flag" (or just "name") followed by
// the group's first block numbers, TAB-separated, most recently used first. Every
// change rewrites the whole file atomically.
class GroupIndex {
public:
    explicit GroupIndex(std::filesystem::path idxFile) : idxFile_(std::move(idxFile)) {}

    // The text before the first "#"; without "#", before the first TAB; else the line.
    static std::string GetGroupName(std::string_view line);

    // Names of all groups in file order; never empty (an empty index gives one empty
    // name, which callers skip).
    std::vector<std::string> GetGroupNames() const;

    // [head, block, block, ...] of the group; [groupName] when the group is not in
    // the index; nothing for an empty name.
    std::vector<std::string> GetGroupItems(std::string_view groupName) const;

    // On every line of the group, drops each block equal to removeBlock and puts
    // addBlock first (kNoBlock: none). Without such a line, appends one.
    void UpdateGroupLine(std::string_view groupName, BlockNumber removeBlock, BlockNumber addBlock);

    // Removes every line of the group; its records stay allocated.
    void DeleteGroupLine(std::string_view groupName);

    // Replaces the head of every line of oldName by newHead, keeping the blocks.
    void RenameGroupLine(std::string_view oldName, std::string_view newHead);

    // Takes block off fromGroup's line and puts it first on toGroup's, in one rewrite.
    void MoveItem(BlockNumber block, std::string_view fromGroup, std::string_view toGroup);

    // On every line of the group, drops each block that is one of blocks, in one rewrite.
    // Without such a line, appends an empty one.
    void RemoveItems(std::string_view groupName, std::span<const BlockNumber> blocks);

    // Takes the blocks off fromGroup's line and puts them first on toGroup's, the
    // last of them first, in one rewrite: as MoveItem on each in turn would.
    void MoveItems(std::span<const BlockNumber> blocks, std::string_view fromGroup,
                   std::string_view toGroup);

    // UpdateGroupLine on lines in memory.
    static void ApplyUpdate(std::vector<std::string>& lines, std::string_view groupName,
                            BlockNumber removeBlock, BlockNumber addBlock);

    // On every line of the group, drops each block that is one of removeBlocks and
    // puts addFirst (in that order) in front of the rest; without such a line,
    // appends one. The same as UpdateGroupLine for each block in turn.
    static void ApplyBatch(std::vector<std::string>& lines, std::string_view groupName,
                           std::span<const BlockNumber> removeBlocks,
                           std::span<const BlockNumber> addFirst);

    const std::filesystem::path& file() const noexcept { return idxFile_; }

private:
    std::vector<std::string> ReadLines() const;
    void Write(const std::vector<std::string>& lines) const;

    std::filesystem::path idxFile_;
};

// Splits text at every TAB.
std::vector<std::string> SplitTabs(std::string_view text);

// A name an index line can carry: not empty, without "#", "{", "}", TAB or a line
// break. "#" ends the name, TAB separates the blocks, "{" and "}" are reserved and
// a line break would split the line in two.
bool IsValidGroupName(std::string_view groupName);

}  // namespace zorvan
