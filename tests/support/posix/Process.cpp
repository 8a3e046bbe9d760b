#include "tests/support/Process.h"

#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Utf8.h"

extern char** environ;

StartedProgram StartProgram(const ProgramStart& start, const fs::path& output) {
    std::vector<std::string> texts{start.program.string()};
    for (const CString& argument : start.arguments) {
        texts.push_back(ToUtf8(argument));
    }
    std::vector<char*> argv;
    for (std::string& text : texts) {
        argv.push_back(&text[0]);
    }
    argv.push_back(nullptr);
    // Beyond standard output and error, the output file stays open in the
    // program, as a stray descriptor of its starter would.
    const int outputFile = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int programFile = start.throughDescriptor ? open(start.program.c_str(), O_RDONLY) : -1;
    const pid_t child = fork();
    if (child == 0) {
        dup2(outputFile, 1);
        dup2(outputFile, 2);
        if ((start.prepare && !start.prepare()) || chdir(start.directory.c_str()) != 0) {
            _exit(kNotPrepared);
        }
        if (programFile >= 0) {
            fexecve(programFile, argv.data(), environ);
        }
        execve(start.program.c_str(), argv.data(), environ);
        _exit(127);
    }
    close(outputFile);
    close(programFile);
    if (child < 0) {
        throw std::runtime_error("cannot start " + start.program.string());
    }
    return {child, 0};
}

void KillProgram(const StartedProgram& program) {
    kill(static_cast<pid_t>(program.process), SIGKILL);
}

int WaitForProgram(const StartedProgram& program) {
    int status = 0;
    waitpid(static_cast<pid_t>(program.process), &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ExitCodeInChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(body());
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ExitCodeAsNobody(const fs::path& owned, const std::function<int()>& body) {
    const passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr || lchown(owned.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
        return kNotPrepared;
    }
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(owned)) {
        if (lchown(entry.path().c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
            return kNotPrepared;
        }
    }
    return ExitCodeInChild([&] {
        const bool dropped = setgroups(0, nullptr) == 0 && setgid(nobody->pw_gid) == 0 &&
                             setuid(nobody->pw_uid) == 0;
        return dropped ? body() : kNotPrepared;
    });
}
