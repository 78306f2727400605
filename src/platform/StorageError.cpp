#include "platform/StorageError.h"

namespace zorvan {

namespace {
std::string Describe(const std::filesystem::path& file, const std::string& cause,
                     std::optional<std::int64_t> block) {
    std::string text = PathToUtf8(file);
    if (block) {
        text += " (ブロック " + std::to_string(*block) + ")";
    }
    return text + ": " + cause;
}
}  // namespace

StorageError::StorageError(std::filesystem::path file, std::string cause,
                           std::optional<std::int64_t> block)
    : std::runtime_error(Describe(file, cause, block)),
      file_(std::move(file)),
      cause_(std::move(cause)),
      block_(block) {}

std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path Utf8ToPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace zorvan
