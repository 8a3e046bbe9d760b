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

// The program's argument vector, which points into `texts`.
std::vector<char*> ArgumentVectorOf(const fs::path& program, const std::vector<CString>& arguments,
                                    std::vector<std::string>* texts) {
    texts->assign(1, program.string());
    for (const CString& argument : arguments) {
        texts->push_back(ToUtf8(argument));
    }
    std::vector<char*> argv;
    for (std::string& text : *texts) {
        argv.push_back(&text[0]);
    }
    argv.push_back(nullptr);
    return argv;
}

std::shared_ptr<StartedProgram::Child> Spawn(const fs::path& program,
                                             const std::vector<CString>& arguments,
                                             const fs::path& directory, const fs::path& output) {
    const int outputFile = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> texts;
    std::vector<char*> argv = ArgumentVectorOf(program, arguments, &texts);

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

// A start by fork and exec, for what a spawn cannot do first.
std::shared_ptr<StartedProgram::Child> ForkPrepared(const fs::path& program,
                                                    const std::vector<CString>& arguments,
                                                    const fs::path& directory,
                                                    const Preparation& preparation,
                                                    const fs::path& output) {
    const int outputFile = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int programFile = preparation.throughDescriptor ? open(program.c_str(), O_RDONLY) : -1;
    std::vector<std::string> texts;
    std::vector<char*> argv = ArgumentVectorOf(program, arguments, &texts);
    auto child = std::make_shared<StartedProgram::Child>();
    child->id = fork();
    if (child->id == 0) {
        dup2(outputFile, 1);
        dup2(outputFile, 2);
        if (!preparation.prepare() || chdir(directory.c_str()) != 0) {
            _exit(kNotPrepared);
        }
        if (programFile >= 0) {
            fexecve(programFile, argv.data(), environ);
        } else {
            execve(program.c_str(), argv.data(), environ);
        }
        _exit(127);
    }
    close(outputFile);
    if (programFile >= 0) {
        close(programFile);
    }
    if (child->id < 0) {
        throw std::runtime_error("cannot start " + program.string());
    }
    return child;
}

}  // namespace

RunResult RunPrepared(const fs::path& program, const std::vector<CString>& arguments,
                      const fs::path& directory, const Preparation& preparation) {
    return StartedProgram([&](const fs::path& output) {
               return ForkPrepared(program, arguments, directory, preparation, output);
           })
        .Finish();
}

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
