#pragma once

#include <filesystem>

namespace zorvan {

// The folder that holds the running executable.
std::filesystem::path ProgramFolder();

}  // namespace zorvan
