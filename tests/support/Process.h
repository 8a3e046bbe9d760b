// Running a program to its end, or until it is killed, with its output
// caught, for end-to-end tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/support/TestFiles.h"

// A program started in `directory` with `arguments`: the command line it gets
// is the one that splits back into them.
struct ProgramStart {
    fs::path program;
    std::vector<CString> arguments;
    fs::path directory;
    // Ended at once after that many seconds, wherever it is (SIGKILL on
    // Linux; on Windows TerminateJobObject, which ends what the program
    // started as well); never when negative.
    double killAfter = -1;
    // Windows: this exact command line instead, whatever quoting would make
    // of the arguments.
    CString commandLine{};
    // Linux: called in the new process before it changes to its folder (to
    // enter a namespace of its own); false gives up, and the exit code is
    // then kNotPrepared.
    std::function<bool()> prepare{};
    // Linux: runs the program through an open descriptor of its file, so
    // that nothing tells it its path.
    bool throughDescriptor = false;
};
const int kNotPrepared = 125;

struct RunResult {
    // -1 when the program was killed.
    int exitCode;
    // Everything the program wrote to its standard output and error.
    std::string output;
    double seconds;
};

RunResult RunProgram(const ProgramStart& start);

// Each system's part of RunProgram: the program started, with its standard
// output and error going to the file `output`; killed; waited for, giving its
// exit code (-1 when it was killed).
struct StartedProgram {
    intptr_t process;
    // Windows: the job it runs in.
    intptr_t job;
};
StartedProgram StartProgram(const ProgramStart& start, const fs::path& output);
void KillProgram(const StartedProgram& program);
int WaitForProgram(const StartedProgram& program);

#ifndef _WIN32
// Runs body in a child process: its exit code, or -1 when it did not exit.
int ExitCodeInChild(const std::function<int()>& body);
#endif
// The same, in a child that runs as the ordinary user nobody, made the owner
// of everything in `owned` first; kNotPrepared when the child cannot become
// that user, nor the tree be given to it (both take root). On Windows, body
// run here: a test that needs an ordinary user is run as one there.
int ExitCodeAsNobody(const fs::path& owned, const std::function<int()>& body);
