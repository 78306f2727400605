#pragma once

#include <optional>

#include "platform/SecretText.h"

namespace zorvan {

// What the program takes from its command line at start.
struct LaunchArguments {
    // The password to log in with: the argument after "/p", or the first line of
    // the standard input with --password-stdin (which takes precedence).
    std::optional<SecretText> password;
};

// The option that reads the password from the standard input instead of the
// command line, where other processes of the machine could read it.
inline constexpr char kPasswordStdinOption[] = "--password-stdin";

// Takes the password from the arguments main() received, before anything else
// copies them, and blanks it where other processes read the command line: the
// argv memory (/proc/PID/cmdline) on POSIX; on Windows the process's wide and
// ANSI command-line buffers and the C runtime's argv. Every temporary copy made
// on the way is wiped. input is the descriptor --password-stdin reads.
LaunchArguments TakeLaunchArguments(int argc, char** argv, int input = 0);

// One line read from a descriptor, without its line break ("\n" or "\r\n"), in
// locked memory; nothing when the input ends before its first byte. Bytes past
// kMaxSecretLine are read and dropped.
std::optional<SecretText> ReadSecretLine(int input);
inline constexpr std::size_t kMaxSecretLine = 1024;

}  // namespace zorvan
