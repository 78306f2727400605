#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "platform/BinaryFile.h"

namespace zorvan {

// The whole file through one handle: as many bytes as it had when opened, fewer
// when it shrank meanwhile; complete, when given, tells whether all were there.
// Bytes is std::string or std::vector<std::uint8_t>; the result is built in place,
// so no copy of the contents is left behind.
template <typename Bytes>
Bytes ReadWholeFile(const std::filesystem::path& file,
                    BinaryFile::Mode mode = BinaryFile::Mode::kRead, bool* complete = nullptr) {
    const BinaryFile in(file, mode);
    Bytes bytes(static_cast<std::size_t>(in.Size()), 0);
    const std::size_t got =
        in.ReadAt(0, {reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()});
    if (complete != nullptr) {
        *complete = got == bytes.size();
    }
    bytes.resize(got);
    return bytes;
}

}  // namespace zorvan
