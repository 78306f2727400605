#include <windows.h>

#include "platform/ProcessHardening.h"

namespace zorvan {

void DisableCoreDumps() {
    // No fault dialog that would offer to send a dump of the process.
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
}

}  // namespace zorvan
