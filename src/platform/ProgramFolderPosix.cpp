#include <unistd.h>

#include <system_error>

#include "platform/ProgramFolder.h"

namespace zorvan {

std::filesystem::path ProgramFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::filesystem::current_path();
    }
    return exe.parent_path();
}

bool CanWriteIn(const std::filesystem::path& folder) {
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace zorvan
