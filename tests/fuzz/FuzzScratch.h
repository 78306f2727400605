#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "vault/DataFiles.h"

// The files a fuzz target hands to readers that take a path live in one folder per
// process (in memory when /dev/shm exists), removed when the process ends.
namespace zorvan::fuzz {

const std::filesystem::path& ScratchFolder();

// Writes bytes as the whole content of the file in the scratch folder.
std::filesystem::path WriteScratch(std::string_view name, std::string_view bytes);
std::filesystem::path WriteScratch(std::string_view name, const std::uint8_t* data,
                                   std::size_t size);

// An empty vault in a sub-folder of the scratch folder, emptied first.
DataPaths FreshVault(std::string_view name);

}  // namespace zorvan::fuzz
