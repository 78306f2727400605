#include "tools/LaunchArguments.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <io.h>

#include "platform/ProcessCommandLine.h"
#else
#include <unistd.h>
#endif

#include "platform/SecureBytes.h"
#include "platform/SecureWipe.h"
#include "tools/CommandLine.h"

namespace zorvan {

namespace {

bool IsSlashP(const char* argument) {
    return (argument[0] == '/') && (argument[1] == 'p' || argument[1] == 'P') &&
           argument[2] == '\0';
}

// Overwrites in place every argument that follows "/p": the argv strings are the
// memory the system shows as the command line on Linux, and the C runtime's own
// copy on Windows.
void BlankPasswordArguments(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (IsSlashP(argv[i])) {
            SecureWipe(argv[i + 1], std::strlen(argv[i + 1]));
        }
    }
}

bool HasPasswordStdinOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == kPasswordStdinOption) {
            return true;
        }
    }
    return false;
}

void WipeAll(std::vector<std::string>& texts) {
    for (auto& text : texts) {
        SecureWipe(text);
    }
}

#ifdef _WIN32
// The raw command line is split as the password dialog always split it, which
// is not quite how the C runtime splits argv.
std::optional<SecretText> TakeFromCommandLine(int argc, char** argv) {
    std::string line = ProcessCommandLine();
    const std::size_t start = ArgumentsStart(line);
    const std::string_view rest = std::string_view(line).substr(start);
    std::optional<SecretText> password;
    if (const auto span = FindPasswordSpan(rest)) {
        std::vector<std::string> arguments = SplitCommandLine(rest);
        if (auto found = FindPasswordOption(arguments)) {
            password.emplace(*found);
            SecureWipe(*found);
        }
        WipeAll(arguments);
        BlankProcessCommandLine(start + span->begin, start + span->end);
    }
    SecureWipe(line);
    BlankPasswordArguments(argc, argv);
    return password;
}
#else
std::optional<SecretText> TakeFromCommandLine(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::optional<SecretText> password;
    if (auto found = FindPasswordOption(arguments)) {
        password.emplace(*found);
        SecureWipe(*found);
    }
    WipeAll(arguments);
    BlankPasswordArguments(argc, argv);
    return password;
}
#endif

long ReadSome(int input, char* byte) {
#ifdef _WIN32
    return _read(input, byte, 1);
#else
    return static_cast<long>(read(input, byte, 1));
#endif
}

}  // namespace

LaunchArguments TakeLaunchArguments(int argc, char** argv, int input) {
    LaunchArguments launch;
    if (argc < 1 || argv == nullptr) {
        return launch;
    }
    launch.password = TakeFromCommandLine(argc, argv);
    if (HasPasswordStdinOption(argc, argv)) {
        launch.password = ReadSecretLine(input);
    }
    return launch;
}

std::optional<SecretText> ReadSecretLine(int input) {
    // Byte by byte into locked memory: a buffered reader would leave the password
    // in its own buffer, and reading past the line would take what is not ours.
    SecureBytes line(kMaxSecretLine);
    std::size_t length = 0;
    bool any = false;
    for (;;) {
        char byte = 0;
        const long got = ReadSome(input, &byte);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0 || byte == '\n') {
            any = any || got > 0;
            break;
        }
        any = true;
        if (length < line.size()) {
            line[length++] = static_cast<std::uint8_t>(byte);
        }
    }
    if (!any) {
        return std::nullopt;
    }
    if (length > 0 && line[length - 1] == '\r') {
        --length;
    }
    return SecretText(std::string_view(reinterpret_cast<const char*>(line.data()), length));
}

}  // namespace zorvan
