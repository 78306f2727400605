#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace zorvan {

// The one error type of the storage layer: which file failed, which block (when a
// record was involved) and why, in words a user can be shown.
class StorageError : public std::runtime_error {
public:
    StorageError(std::filesystem::path file, std::string cause,
                 std::optional<std::int64_t> block = std::nullopt);

    const std::filesystem::path& file() const noexcept { return file_; }
    const std::string& cause() const noexcept { return cause_; }
    // The record's block, when one was involved.
    std::optional<std::int64_t> block() const noexcept { return block_; }

private:
    std::filesystem::path file_;
    std::string cause_;
    std::optional<std::int64_t> block_;
};

// UTF-8 text of a path, for messages.
std::string PathToUtf8(const std::filesystem::path& path);

// A path from UTF-8 text.
std::filesystem::path Utf8ToPath(const std::string& utf8);

}  // namespace zorvan
