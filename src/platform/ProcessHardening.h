#pragma once

namespace zorvan {

// Keeps secrets in memory out of crash dumps: no core file, and (on Linux) no
// ptrace attach by other processes of the same user.
void DisableCoreDumps();

}  // namespace zorvan
