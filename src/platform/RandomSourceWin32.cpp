#include <windows.h>
// windows.h first: bcrypt.h relies on its types.
#include <bcrypt.h>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

#include "platform/RandomSource.h"

namespace zorvan {

void RandomSource::FillBytes(std::span<std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t chunk =
            std::min<std::size_t>(bytes.size() - done, std::numeric_limits<ULONG>::max());
        const NTSTATUS status =
            BCryptGenRandom(nullptr, bytes.data() + done, static_cast<ULONG>(chunk),
                            BCRYPT_USE_SYSTEM_PREFERRED_RNG);
        if (!BCRYPT_SUCCESS(status)) {
            throw std::runtime_error("BCryptGenRandom failed: status " +
                                     std::to_string(static_cast<unsigned long>(status)));
        }
        done += chunk;
    }
}

}  // namespace zorvan
