// Runs one vault operation in a process of its own so that a test can kill it at
// any moment: either at the chosen durable step (the process sends itself SIGKILL,
// so nothing after that step runs, no destructor, no buffer flush), or from outside
// after a delay. A pause after every step widens the window for the outside kill.
//
//   zorvan_crash_child rekey   <folder> <old password> <new password> <kill step> <pause us>
//   zorvan_crash_child restore <folder> <backup file> <kill step> <pause us>
//   zorvan_crash_child recover <folder> <kill step> <pause us>
//
// A kill step of 0 never kills. Prints "steps N" when it ran to the end.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "app/DataFiles.h"
#include "vault/BackupRestore.h"
#include "vault/Cipher.h"
#include "vault/DurableFiles.h"
#include "vault/MasterPasswordChange.h"
#include "vault/VaultJournal.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: zorvan_crash_child rekey|restore|recover <folder> ...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zorvan;
    if (argc < 5) {
        return Usage();
    }
    const std::string_view mode = argv[1];
    const int needed = mode == "rekey" ? 7 : mode == "restore" ? 6 : mode == "recover" ? 5 : 0;
    if (needed == 0 || argc != needed) {
        return Usage();
    }
    const long killAt = std::strtol(argv[argc - 2], nullptr, 10);
    const long pause = std::strtol(argv[argc - 1], nullptr, 10);
    long steps = 0;
    durable::SetStepHook([&](std::string_view) {
        if (++steps == killAt) {
            ::raise(SIGKILL);
        }
        if (pause > 0) {
            ::usleep(static_cast<useconds_t>(pause));
        }
    });

    const DataPaths paths = DataPaths::InFolder(argv[2]);
    try {
        if (mode == "rekey") {
            MasterPasswordChange::ReencryptAll(paths, KeyBytes(argv[3]).span(),
                                               KeyBytes(argv[4]).span());
        } else if (mode == "restore") {
            BackupRestore::Restore(paths, argv[3]);
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
