#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "vault/DurableFiles.h"

namespace zorvan::test {

// Stands for the process dying at the chosen step: nothing after it runs.
struct Interrupted : std::runtime_error {
    Interrupted() : std::runtime_error("interrupted") {}
};

// Makes the nth step of the given kind (counted from 1) throw Interrupted.
inline void InterruptAt(std::string_view kind, int nth) {
    auto seen = std::make_shared<int>(0);
    durable::SetStepHook([kind = std::string(kind), nth, seen](std::string_view step) {
        if (step == kind && ++*seen == nth) {
            throw Interrupted();
        }
    });
}

}  // namespace zorvan::test
