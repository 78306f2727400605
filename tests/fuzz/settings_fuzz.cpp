// The settings file as found on disk: read keys, rewrite one, read it back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzScratch.h"
#include "platform/StorageError.h"
#include "vault/Settings.h"

using namespace zorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = fuzz::WriteScratch("Zorvan.ini", data, size);
    for (const char* key : {"lastgroup", "pass", "version", ""}) {
        ReadSetting(file, "Zorvan", key, "-");
    }
    ReadSetting(file, "", "lastgroup", "-");
    try {
        WriteSetting(file, "Zorvan", "lastgroup", "written");
    } catch (const StorageError&) {
        return 0;
    }
    // The value just stored must be found by the next read, however odd the rest.
    if (ReadSetting(file, "Zorvan", "lastgroup", "-") != "written") {
        std::abort();
    }
    return 0;
}
