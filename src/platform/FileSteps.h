#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

// Every change the program makes to a file (a write, a flush to the disk, a rename,
// a folder sync, a removal, a creation) announces itself here just before it is
// made, so that a test can count them, fail one, or stop the process at any of
// them. Nothing is set in the program: then an announcement is one pointer test.
// Set the hook before any file work starts and clear it after; it is not guarded
// against other threads.
namespace zorvan::filesteps {

// Called with a short name of the step ("write", "flush", "rename", "sync folder",
// "remove", "create", or a name the caller chose) and the file it is about to
// touch (empty when there is none). It may throw; the step is then not taken.
using Hook = std::function<void(std::string_view step, const std::filesystem::path& file)>;

// Installs the one process-wide hook; an empty one removes it.
void SetHook(Hook hook);

namespace detail {
extern Hook* current;
void Call(std::string_view step, const std::filesystem::path& file);
}  // namespace detail

inline void Announce(std::string_view step, const std::filesystem::path& file) {
    if (detail::current != nullptr) {
        detail::Call(step, file);
    }
}

}  // namespace zorvan::filesteps
