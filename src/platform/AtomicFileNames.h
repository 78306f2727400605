#pragma once

#include <filesystem>

namespace zorvan::atomicfile {

// Whether candidate names a temporary file that a replacement of the file called
// name creates beside it. Each system names its temporaries its own way.
bool IsTemporaryOf(const std::filesystem::path::string_type& candidate,
                   const std::filesystem::path::string_type& name);

}  // namespace zorvan::atomicfile
