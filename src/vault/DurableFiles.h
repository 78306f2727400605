#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

// File operations whose effect has reached the disk when they return, for the
// commit journal and what it installs. Each of their writes, flushes, renames and
// removals announces itself to the file step hook (platform/FileSteps.h) before it
// is made. Errors throw StorageError naming the file.
namespace zorvan::durable {

// Installs the file step hook without the file names; an empty one removes it.
void SetStepHook(std::function<void(std::string_view step)> hook);
// Announces a step of the caller's own (the hook may stop it there).
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
