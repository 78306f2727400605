#include "platform/FileSteps.h"

#include <memory>

namespace zorvan::filesteps {

namespace detail {

Hook* current = nullptr;

void Call(std::string_view step, const std::filesystem::path& file) {
    (*current)(step, file);
}

}  // namespace detail

void SetHook(Hook hook) {
    static std::unique_ptr<Hook> held;
    detail::current = nullptr;
    held = hook ? std::make_unique<Hook>(std::move(hook)) : nullptr;
    detail::current = held.get();
}

}  // namespace zorvan::filesteps
