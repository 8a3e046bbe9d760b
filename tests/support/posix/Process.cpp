#include "tests/support/Process.h"

#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Utf8.h"

extern char** environ;

struct StartedProgram::Child {
    pid_t id;
};

namespace {

std::shared_ptr<StartedProgram::Child> Spawn(const fs::path& program,
                                             const std::vector<CString>& arguments,
                                             const fs::path& directory, const fs::path& output) {
    const int outputFile = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> texts{program.string()};
    for (const CString& argument : arguments) {
        texts.push_back(ToUtf8(argument));
    }
    std::vector<char*> argv;
    argv.reserve(texts.size() + 1);
    for (std::string& text : texts) {
        argv.push_back(&text[0]);
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outputFile, 1);
    posix_spawn_file_actions_adddup2(&actions, outputFile, 2);
    posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());

    auto child = std::make_shared<StartedProgram::Child>();
    const int error =
        posix_spawn(&child->id, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(outputFile);
    if (error != 0) {
        throw std::runtime_error("cannot start " + program.string());
    }
    return child;
}

}  // namespace

StartedProgram::StartedProgram(const fs::path& program, const std::vector<CString>& arguments,
                               const fs::path& directory)
    : StartedProgram(
          [&](const fs::path& output) { return Spawn(program, arguments, directory, output); }) {}

void StartedProgram::Terminate() {
    kill(child_->id, SIGKILL);
}

int StartedProgram::WaitForExit() {
    int status = 0;
    waitpid(child_->id, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
