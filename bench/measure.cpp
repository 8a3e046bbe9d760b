// Runs commands one after another, each only when the one before exited 0
// (as the shell's && runs them), and prints one line: the wall time from the
// first start to the last exit, in seconds, and the largest peak memory
// (maximum resident set size) of any of them, in KB. Linux only; the bench
// scripts beside it drive it.
//
//   measure COMMAND [ARG...] [:: COMMAND [ARG...]]...
//
// A program that a command starts and leaves running counts in neither
// figure. Each command is forked from this small process because a child
// starts out with its parent's pages counted in its peak: forked from a
// script interpreter it would report the interpreter's ten-odd megabytes.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs the null-terminated command to its end and raises *peakKb to its
// peak memory; false when it could not be run or did not exit 0.
bool Run(char** command, long* peakKb) {
    const pid_t child = fork();
    if (child < 0) {
        std::perror("measure: fork");
        return false;
    }
    if (child == 0) {
        execvp(command[0], command);
        std::perror(command[0]);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("measure: wait4");
        return false;
    }
    if (usage.ru_maxrss > *peakKb) {
        *peakKb = usage.ru_maxrss;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Each "::" becomes the null that ends the command before it, as
    // argv[argc] ends the last one.
    std::vector<char**> commands;
    for (int i = 1, first = 1; i <= argc; ++i) {
        if (i < argc && std::strcmp(argv[i], "::") != 0) {
            continue;
        }
        if (i == first) {
            std::fputs("usage: measure COMMAND [ARG...] [:: COMMAND [ARG...]]...\n", stderr);
            return 2;
        }
        argv[i] = nullptr;
        commands.push_back(argv + first);
        first = i + 1;
    }

    long peakKb = 0;
    const auto start = std::chrono::steady_clock::now();
    for (char** command : commands) {
        if (!Run(command, &peakKb)) {
            std::fprintf(stderr, "measure: %s failed\n", command[0]);
            return 1;
        }
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    std::printf("%.6f %ld\n", wall.count(), peakKb);
    return 0;
}
