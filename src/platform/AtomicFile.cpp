#include "platform/AtomicFile.h"

#include <system_error>
#include <vector>

#include "platform/AtomicFileNames.h"
#include "platform/FileSteps.h"

namespace zorvan {

int RemoveLeftoverTemporaries(const std::filesystem::path& target) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const std::filesystem::path::string_type name = target.filename().native();
    std::error_code error;
    std::vector<std::filesystem::path> leftovers;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (atomicfile::IsTemporaryOf(it->path().filename().native(), name)) {
            leftovers.push_back(it->path());
        }
    }
    int removed = 0;
    for (const auto& file : leftovers) {
        filesteps::Announce("remove", file);
        removed += std::filesystem::remove(file, error) ? 1 : 0;
    }
    return removed;
}

}  // namespace zorvan
