#include "FuzzScratch.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace zorvan::fuzz {

namespace {

class Folder {
public:
    Folder() {
        // scripts/fuzz.sh names a folder of its own, so that what a crashed run
        // leaves behind is removed too.
        std::error_code error;
        const std::filesystem::path shm = "/dev/shm";
        std::filesystem::path base;
        if (const char* chosen = std::getenv("ZORVAN_FUZZ_TMP"); chosen && *chosen) {
            base = chosen;
        } else {
            base = std::filesystem::is_directory(shm, error)
                       ? shm
                       : std::filesystem::temp_directory_path();
        }
        path_ = base / ("zorvan-fuzz-" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_, error);
        std::filesystem::create_directories(path_);
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace

const std::filesystem::path& ScratchFolder() {
    // Destroyed at exit, also when libFuzzer ends the run through exit().
    static const Folder folder;
    return folder.path();
}

std::filesystem::path WriteScratch(std::string_view name, std::string_view bytes) {
    const auto file = ScratchFolder() / std::filesystem::path(name);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        std::abort();
    }
    return file;
}

std::filesystem::path WriteScratch(std::string_view name, const std::uint8_t* data,
                                   std::size_t size) {
    return WriteScratch(name, std::string_view(reinterpret_cast<const char*>(data), size));
}

DataPaths FreshVault(std::string_view name) {
    const auto folder = ScratchFolder() / std::filesystem::path(name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return InitDataFiles(folder);
}

}  // namespace zorvan::fuzz
