// A file in the backup folder: the list entry, the header checks, and a restore into
// an empty vault, which must then hold exactly the copies the header describes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "FuzzScratch.h"
#include "platform/StorageError.h"
#include "vault/BackupFile.h"
#include "vault/BackupRestore.h"

using namespace zorvan;

namespace {

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const DataPaths paths = fuzz::FreshVault("vault");
    const auto file = fuzz::WriteScratch("20030405-134507", data, size);
    BackupFile::ReadListing(file);
    bool readable = false;
    try {
        BackupFile::ReadHeader(file);
        readable = true;
    } catch (const StorageError&) {
    }
    try {
        BackupRestore::Restore(paths, file);
    } catch (const StorageError&) {
        // A backup whose header passed the checks must restore (the disk is fine).
        if (readable) {
            std::abort();
        }
        return 0;
    }
    if (!readable) {
        std::abort();
    }
    const BackupHeader header = BackupFile::ReadHeader(file);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t at = BackupFile::kHeaderSize;
    for (const auto& [target, length] : {std::pair{&paths.strBmpFile, header.bmpLength},
                                         std::pair{&paths.strIdxFile, header.idxLength},
                                         std::pair{&paths.strIniFile, header.iniLength},
                                         std::pair{&paths.strItmFile, header.itmLength}}) {
        const auto n = static_cast<std::size_t>(length);
        if (ReadBytes(*target) != bytes.substr(at, n)) {
            std::abort();
        }
        at += n;
    }
    return 0;
}
