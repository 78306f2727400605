// Code page 932 through iconv, for every platform but Windows.
#include <errno.h>
#include <iconv.h>

#include <stdexcept>

#include "platform/CodepageNative.h"

namespace zorvan::codepage::native {

namespace {

// One conversion descriptor per direction and thread; opening one loads the
// gconv module, which is far dearer than a conversion.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::optional<std::string> Convert(std::string_view in, std::size_t growth) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * growth + 4, '\0');
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char* outPtr = out.data();
        std::size_t outLeft = out.size();
        while (inLeft > 0) {
            const std::size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            if (result == static_cast<std::size_t>(-1)) {
                if (errno != E2BIG) {
                    return std::nullopt;
                }
                const std::size_t used = static_cast<std::size_t>(outPtr - out.data());
                out.resize(out.size() * 2);
                outPtr = out.data() + used;
                outLeft = out.size() - used;
            } else if (result > 0) {
                // Irreversible conversions happened: not exact.
                return std::nullopt;
            }
        }
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    thread_local Converter converter("CP932", "UTF-8");
    return converter.Convert(utf8, 1);
}

std::optional<std::string> Cp932ToUtf8(std::string_view ansi) {
    thread_local Converter converter("UTF-8", "CP932");
    return converter.Convert(ansi, 3);
}

}  // namespace zorvan::codepage::native
