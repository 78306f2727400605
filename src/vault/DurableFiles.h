#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

// File operations whose effect has reached the disk when they return, for the
// commit journal and what it installs. Each announces itself to an optional step
// hook before it touches anything, so that a test can stop the process at any of
// them. Errors throw StorageError naming the file.
namespace zorvan::durable {

// Called with a short name of the step about to be taken; nothing by default.
void SetStepHook(std::function<void(std::string_view step)> hook);
void Step(std::string_view what);

// The whole file.
std::vector<std::uint8_t> ReadAll(const std::filesystem::path& file);

// Creates the file anew with exactly these bytes and forces them to the disk.
void WriteNew(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);

// Renames from over to in one step (to is replaced if present) and makes the
// rename itself durable.
void Replace(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes the file if it is there, durably. True when it was there.
bool RemoveIfPresent(const std::filesystem::path& file);

// Forces the folder's entries (creations, renames, removals) to the disk.
void SyncFolder(const std::filesystem::path& folder);

}  // namespace zorvan::durable
