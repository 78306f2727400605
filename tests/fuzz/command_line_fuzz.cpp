// The raw command line the program was started with.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/CommandLine.h"

using namespace zorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto arguments = SplitCommandLine(text);
    std::size_t total = 0;
    for (const auto& argument : arguments) {
        total += argument.size();
    }
    // Splitting only drops characters, it never makes text up.
    if (total > size) {
        std::abort();
    }
    FindPasswordOption(arguments);
    return 0;
}
