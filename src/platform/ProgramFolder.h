#pragma once

#include <filesystem>

namespace zorvan {

// The folder that holds the running executable.
std::filesystem::path ProgramFolder();

// True when this process may create and replace files in the folder.
bool CanWriteIn(const std::filesystem::path& folder);

}  // namespace zorvan
