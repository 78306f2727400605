// Runs one vault operation in a process of its own so that a test can kill it at
// any moment: either just before the chosen file step (the process sends itself
// SIGKILL, so that step and nothing after it runs, no destructor, no buffer flush),
// or from outside after a delay. A pause before every step widens the window for
// the outside kill.
//
//   zorvan_crash_child op <name> <folder> <input file> <kill step> <pause us>
//   zorvan_crash_child recover <folder> <kill step> <pause us>
//
// "op" runs an operation of the campaign's table (CrashOperations.h) on the vault
// opened with the campaign's password; "recover" is what the next start-up does.
// A kill step of 0 never kills; a negative one -k makes step k fail with a
// StorageError instead, as a full disk would. Prints "steps N" when it ran to the
// end, the error and exit code 1 when the operation failed.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/FileSteps.h"
#include "platform/StorageError.h"
#include "vault/DataFiles.h"
#include "vault/Vault.h"
#include "vault/VaultJournal.h"
#include "vault/crash/CrashOperations.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: zorvan_crash_child op|recover ...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zorvan;
    if (argc < 5) {
        return Usage();
    }
    const std::string_view mode = argv[1];
    const int needed = mode == "recover" ? 5 : mode == "op" ? 7 : 0;
    if (needed == 0 || argc != needed) {
        return Usage();
    }
    const long killAt = std::strtol(argv[argc - 2], nullptr, 10);
    const long pause = std::strtol(argv[argc - 1], nullptr, 10);
    long steps = 0;
    filesteps::SetHook([&](std::string_view, const std::filesystem::path& file) {
        ++steps;
        if (steps == killAt) {
            ::raise(SIGKILL);
        }
        if (steps == -killAt) {
            throw StorageError(file, "injected failure");
        }
        if (pause > 0) {
            ::usleep(static_cast<useconds_t>(pause));
        }
    });

    const DataPaths paths = DataPaths::InFolder(argv[mode == "op" ? 3 : 2]);
    try {
        if (mode == "op") {
            const crash::Operation* operation = crash::FindOperation(argv[2]);
            if (operation == nullptr) {
                return Usage();
            }
            Vault vault(paths);
            if (!vault.Open(crash::kPassword)) {
                throw std::runtime_error("the vault does not open with its password");
            }
            operation->run(vault, argv[4]);
        } else {
            RecoverInterruptedChange(paths);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::printf("steps %ld\n", steps);
    return 0;
}
