#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "platform/RuntimeFolder.h"
#include "support/TempDir.h"

namespace zorvan {
namespace {

// XDG_RUNTIME_DIR as it was, put back however the test ends.
struct SavedRuntimeVariable {
    const char* found = std::getenv("XDG_RUNTIME_DIR");
    std::optional<std::string> value = found ? std::optional<std::string>(found) : std::nullopt;
    ~SavedRuntimeVariable() {
        value ? setenv("XDG_RUNTIME_DIR", value->c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
    }
};

mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(PrivateRuntimeFolder, TakesOnlyAFolderNobodyElseCanReach) {
    const bool root = getuid() == 0;
    // What a case makes of the folder "runtime" and of the fallback's place, and
    // where the claim must then live.
    enum class Expect { kRuntime, kFallback, kNone };
    const struct {
        const char* name;
        std::function<void(const std::filesystem::path& runtime,
                           const std::filesystem::path& fallback)>
            prepare;
        const char* variable;  // "runtime", "relative", or nullptr for unset
        Expect expect;
        bool needsRoot;
    } cases[] = {
        {"private runtime folder", [](auto&, auto&) {}, "runtime", Expect::kRuntime, false},
        {"no runtime folder given", [](auto&, auto&) {}, nullptr, Expect::kFallback, false},
        {"relative runtime folder", [](auto&, auto&) {}, "relative", Expect::kFallback, false},
        {"runtime folder others may enter",
         [](auto& runtime, auto&) { chmod(runtime.c_str(), 0755); }, "runtime", Expect::kFallback,
         false},
        {"runtime folder is a link",
         [](auto& runtime, auto&) {
             std::filesystem::rename(runtime, runtime.string() + "-real");
             std::filesystem::create_directory_symlink(runtime.string() + "-real", runtime);
         },
         "runtime", Expect::kFallback, false},
        {"runtime folder of another user",
         [](auto& runtime, auto&) { (void)!chown(runtime.c_str(), 65534, 65534); }, "runtime",
         Expect::kFallback, true},
        {"own fallback made too open is closed again",
         [](auto&, auto& fallback) {
             std::filesystem::create_directory(fallback);
             chmod(fallback.c_str(), 0777);
         },
         nullptr, Expect::kFallback, false},
        {"fallback is a link",
         [](auto& runtime, auto& fallback) {
             std::filesystem::create_directory_symlink(runtime, fallback);
         },
         nullptr, Expect::kNone, false},
        {"fallback of another user",
         [](auto&, auto& fallback) {
             std::filesystem::create_directory(fallback);
             chmod(fallback.c_str(), 0700);
             (void)!chown(fallback.c_str(), 65534, 65534);
         },
         nullptr, Expect::kNone, true},
    };
    const SavedRuntimeVariable saved;
    for (const auto& c : cases) {
        if (c.needsRoot && !root) {
            continue;
        }
        test::TempDir dir;
        const auto runtime = dir / "runtime";
        const auto fallback = dir / "data" / ".run";
        std::filesystem::create_directory(runtime);
        std::filesystem::create_directory(fallback.parent_path());
        chmod(runtime.c_str(), 0700);
        c.prepare(runtime, fallback);
        if (c.variable == nullptr) {
            unsetenv("XDG_RUNTIME_DIR");
        } else {
            setenv("XDG_RUNTIME_DIR",
                   std::string(c.variable) == "relative" ? "runtime" : runtime.c_str(), 1);
        }
        const auto folder = PrivateRuntimeFolder(fallback);
        switch (c.expect) {
            case Expect::kRuntime:
                EXPECT_EQ(folder, runtime) << c.name;
                break;
            case Expect::kFallback:
                EXPECT_EQ(folder, fallback) << c.name;
                EXPECT_EQ(ModeOf(fallback), 0700u) << c.name;
                break;
            case Expect::kNone:
                EXPECT_FALSE(folder) << c.name;
                break;
        }
    }
}

}  // namespace
}  // namespace zorvan
#endif
