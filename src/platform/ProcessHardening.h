#pragma once

namespace zorvan {

// Keeps secrets in memory out of crash dumps: no core file, and (on Linux) no
// ptrace attach by other processes of the same user.
void DisableCoreDumps();

// What HardenProcess achieved, step by step; each step is tried whatever the
// others gave. All false where the system needs none of them (POSIX: the loader
// never searches the current folder, and DisableCoreDumps already keeps other
// processes out of our memory).
struct HardeningResult {
    // DLLs are no longer looked for in the current folder.
    bool dllDirectory = false;
    // SearchPath looks in the current folder only after the system's folders,
    // for good.
    bool safeSearchMode = false;
    // Other processes of the same user may only wait for, query or end this
    // one: reading or writing its memory, starting threads in it or changing
    // these rights is denied.
    bool processDacl = false;
};

// Hardens the process against other programs of the same user and against
// DLLs planted beside the documents it opens. Called first thing at start.
HardeningResult HardenProcess();

}  // namespace zorvan
