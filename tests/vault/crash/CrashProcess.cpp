#include "vault/crash/CrashProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "support/TempDir.h"

extern char** environ;

namespace zorvan::test {

ChildResult RunChild(const std::vector<std::string>& args, const std::filesystem::path& out,
                     std::optional<std::chrono::microseconds> killAfter) {
    std::vector<std::string> all{ZORVAN_CRASH_CHILD};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ChildResult result;
    if (spawned != 0) {
        result.output = "cannot start " + all.front();
        return result;
    }
    if (killAfter) {
        std::this_thread::sleep_for(*killAfter);
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.ran = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    result.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = ReadBytes(out);
    return result;
}

int StepsOf(const ChildResult& result) {
    if (result.exitCode != 0 || !result.output.starts_with("steps ")) {
        return -1;
    }
    return std::stoi(result.output.substr(6));
}

}  // namespace zorvan::test
