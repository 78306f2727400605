#include "vault/BlockNumber.h"

#include <charconv>

namespace zorvan {

std::optional<BlockNumber> ParseBlockNumber(std::string_view text) {
    BlockNumber value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace zorvan
