#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vault/DataFiles.h"

namespace zorvan {

// Checks that the group index and the item file agree: every listed record lies
// inside the item file, has a sane block count, is marked in use in the bitmap
// and shares no block with another listed record. Blocks marked in use that no
// entry names (an interrupted store leaves them) are counted but are no damage.
// The check only reads; it never repairs anything.
class VaultCheck {
public:
    struct Problem {
        std::string group;  // the group whose line names the record
        std::string entry;  // the entry as the index holds it
        std::string what;   // what is wrong, in words for the user
    };

    struct Report {
        std::vector<Problem> problems;
        std::uint64_t leakedBlocks = 0;
        bool Healthy() const { return problems.empty(); }
        // The problems as one message for the user; empty when healthy.
        std::string Message(std::size_t mostShown = 10) const;
    };

    static Report Run(const DataPaths& paths);
};

}  // namespace zorvan
