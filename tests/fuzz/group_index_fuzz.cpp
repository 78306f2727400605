// The group index as found on disk: list the groups and their blocks, then make
// each kind of change to it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzScratch.h"
#include "csv/CsvEngine.h"
#include "platform/StorageError.h"
#include "vault/GroupIndex.h"

using namespace zorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = fuzz::WriteScratch("Zorvan.idx", data, size);
    GroupIndex index(file);
    const auto names = index.GetGroupNames();
    if (names.empty()) {
        std::abort();
    }
    BlockNumber someBlock = kNoBlock;
    for (std::size_t i = 0; i < names.size() && i < 64; ++i) {
        const auto items = index.GetGroupItems(names[i]);
        for (std::size_t k = 1; k < items.size(); ++k) {
            if (const auto block = ParseBlockNumber(items[k])) {
                someBlock = *block;
            }
        }
    }
    const std::string& first = names.front();
    try {
        index.UpdateGroupLine(first, someBlock, 7);
        // The block just put first must be listed first. Two kinds of name change
        // on a rewrite, as the formats have it: one that holds a TAB (the line has
        // "#" after its first TAB, and the new block goes before it), and one with
        // bytes that are no code page 932 (read as U+FFFD, written back as "?").
        if (!first.empty() && first.find('\t') == std::string::npos &&
            first.find("\xEF\xBF\xBD") == std::string::npos) {
            const auto items = index.GetGroupItems(first);
            if (items.size() < 2 || items[1] != "7") {
                std::abort();
            }
        }
        index.MoveItem(7, first, "other");
        index.RenameGroupLine("other", "renamed#1");
        index.DeleteGroupLine(names.back());
    } catch (const StorageError&) {
    }
    return 0;
}
