#pragma once

#include <filesystem>
#include <span>
#include <string_view>

#include "vault/Vault.h"

// Every operation that writes to the vault, each the same call of the vault as the
// program makes, for the crash campaign. The child process
// runs one of them; the test reads the table for the names and what to expect.
namespace zorvan::crash {

// The campaign's vault opens with kPassword; the password change moves it to
// kNewPassword.
inline constexpr std::string_view kPassword = "zorvan";
inline constexpr std::string_view kNewPassword = "新パス";

// What an operation reads besides the vault.
enum class Input { kNone, kCsv, kBackup };

// What the vault may hold after the operation was cut short.
enum class Outcome {
    kOldOrNew,              // the old vault or the new one, nothing in between
    kOldOrNewUnlessFailed,  // the same after a crash; a failure keeps what was done
    kAnyMix,                // any mix of its single item or settings changes
};

struct Operation {
    std::string_view name;
    // Whatever the outcome, each item and each setting is its old or its new self.
    Outcome outcome;
    Input input;
    // Runs it on the open vault.
    void (*run)(Vault& vault, const std::filesystem::path& input);
};

std::span<const Operation> Operations();
const Operation* FindOperation(std::string_view name);

}  // namespace zorvan::crash
