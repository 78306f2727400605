#pragma once

#include <cstdint>
#include <span>

#include "platform/SecureWipe.h"

namespace zorvan {

// Random numbers for password generation, from the operating system's
// cryptographically strong generator. Subclasses may script NextDouble so that
// the callers' arithmetic can be tested.
class RandomSource {
public:
    virtual ~RandomSource() = default;

    // Uniform in [0, 1): 53 random bits, so that every double of the form
    // k / 2^53 is equally likely.
    virtual double NextDouble() {
        std::uint8_t raw[8];
        FillBytes(raw);
        std::uint64_t bits = 0;
        for (const std::uint8_t byte : raw) {
            bits = (bits << 8) | byte;
        }
        SecureWipe(raw, sizeof raw);
        return ToUnitInterval(bits);
    }

    // Fills bytes from the system generator. Throws std::runtime_error when the
    // system cannot provide them; never returns weak bytes instead.
    static void FillBytes(std::span<std::uint8_t> bytes);

    // The double of 53 bits taken from the low bits of raw.
    static constexpr double ToUnitInterval(std::uint64_t raw) {
        return static_cast<double>(raw & ((std::uint64_t{1} << 53) - 1)) * 0x1.0p-53;
    }
};

}  // namespace zorvan
