#include "tests/support/Process.h"

#include <chrono>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Utf8.h"

extern char** environ;

RunResult RunProgram(const fs::path& program, const std::vector<CString>& arguments,
                     const fs::path& directory) {
    TempDir scratch;
    const fs::path outputPath = scratch.path() / "output";
    const int output = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> texts{program.string()};
    for (const CString& argument : arguments) {
        texts.push_back(ToUtf8(argument));
    }
    std::vector<char*> argv;
    for (std::string& text : texts) {
        argv.push_back(&text[0]);
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output, 1);
    posix_spawn_file_actions_adddup2(&actions, output, 2);
    posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());

    const auto start = std::chrono::steady_clock::now();
    pid_t child;
    const int error = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output);
    if (error != 0) {
        throw std::runtime_error("cannot start " + program.string());
    }
    int status = 0;
    waitpid(child, &status, 0);

    RunResult result;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = ReadFile(outputPath);
    return result;
}
