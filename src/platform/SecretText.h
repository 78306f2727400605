#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/SecureBytes.h"

namespace zorvan {

// A password as UTF-8 text, held in locked memory that is wiped when the text is
// replaced or destroyed. Copies are explicit (Clone) to keep them rare.
class SecretText {
public:
    SecretText() = default;
    explicit SecretText(std::string_view text)
        : bytes_(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())) {}
    SecretText(SecretText&&) noexcept = default;
    SecretText& operator=(SecretText&&) noexcept = default;
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;
    SecretText& operator=(std::string_view text) { return *this = SecretText(text); }

    SecretText Clone() const { return SecretText(view()); }

    std::string_view view() const noexcept {
        return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
    }
    operator std::string_view() const noexcept { return view(); }
    std::size_t size() const noexcept { return bytes_.size(); }
    bool empty() const noexcept { return bytes_.empty(); }

    friend bool operator==(const SecretText& a, const SecretText& b) noexcept {
        return a.view() == b.view();
    }
    friend bool operator==(const SecretText& a, std::string_view b) noexcept {
        return a.view() == b;
    }

private:
    SecureBytes bytes_;
};

}  // namespace zorvan
