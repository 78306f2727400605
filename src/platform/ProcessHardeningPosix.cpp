#include <sys/resource.h>

#ifdef __linux__
#include <sys/prctl.h>
#endif

#include "platform/ProcessHardening.h"

namespace zorvan {

void DisableCoreDumps() {
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
#ifdef __linux__
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
#endif
}

HardeningResult HardenProcess() {
    return {};
}

}  // namespace zorvan
