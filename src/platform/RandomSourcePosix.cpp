#include <sys/random.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/RandomSource.h"

namespace zorvan {

void RandomSource::FillBytes(std::span<std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        // Blocks only until the kernel's pool is initialised, once per boot.
        const ssize_t got = getrandom(bytes.data() + done, bytes.size() - done, 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::runtime_error(std::string("getrandom: ") + std::strerror(errno));
        }
        done += static_cast<std::size_t>(got);
    }
}

}  // namespace zorvan
