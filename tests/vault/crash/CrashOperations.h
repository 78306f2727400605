#pragma once

#include <filesystem>
#include <span>
#include <string_view>

#include "app/DataFiles.h"

// Every operation that writes to the vault, each made of the same core calls in the
// same order as the program makes them, for the crash campaign. The child process
// runs one of them; the test reads the table for the names and what to expect.
namespace zorvan::crash {

// The campaign's vault opens with kPassword; the password change moves it to
// kNewPassword.
inline constexpr std::string_view kPassword = "zorvan";
inline constexpr std::string_view kNewPassword = "新パス";

// What an operation reads besides the vault.
enum class Input { kNone, kCsv, kBackup };

struct Operation {
    std::string_view name;
    // True when a crash may only leave the old or the new vault; false when any
    // mix of its single item or settings changes may remain (each change on its own
    // is still old or new).
    bool whole;
    Input input;
    void (*run)(const DataPaths& paths, const std::filesystem::path& input);
};

std::span<const Operation> Operations();
const Operation* FindOperation(std::string_view name);

}  // namespace zorvan::crash
