#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zorvan {

// A record's first block, counted from 1. -1 stands for "no item".
using BlockNumber = std::int32_t;
inline constexpr BlockNumber kNoBlock = -1;

// The number written as decimal digits (an optional minus sign allowed), or nothing
// when the text is not a number that fits 32 bits.
std::optional<BlockNumber> ParseBlockNumber(std::string_view text);

}  // namespace zorvan
