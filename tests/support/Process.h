// Running a program, to its end or until it is killed, with its output
// caught, for end-to-end tests.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/TestFiles.h"

struct RunResult {
    int exitCode = -1;
    // Everything the program wrote to its standard output and error.
    std::string output;
    double seconds = 0;
};

// Starts `program` with `arguments` in `directory` and waits for it. The
// command line it gets is the one that splits back into those arguments.
RunResult RunProgram(const fs::path& program, const std::vector<CString>& arguments,
                     const fs::path& directory);

// A program started without waiting for it, its standard output and error
// caught in a file of its own. When the object goes, the program is killed
// if it still runs, and waited for.
class StartedProgram {
public:
    // Starts `program` as RunProgram does.
    StartedProgram(const fs::path& program, const std::vector<CString>& arguments,
                   const fs::path& directory);

    // What a system keeps of a program it started, and a start that sends the
    // program's output to the file it is given.
    struct Child;
    typedef std::function<std::shared_ptr<Child>(const fs::path& output)> Start;
    explicit StartedProgram(const Start& start);

    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    // Ends the program at once, wherever it is (SIGKILL on Linux; on Windows
    // TerminateJobObject, which ends what the program started as well);
    // does nothing once it has been waited for.
    void Kill();
    // Waits for the program to end: its exit code, -1 when it was killed.
    int Wait();
    // Waits, then tells what RunProgram tells, timed from the start.
    RunResult Finish();

private:
    // Each system's part of Kill and Wait.
    void Terminate();
    int WaitForExit();

    TempDir scratch_;
    std::chrono::steady_clock::time_point started_;
    std::shared_ptr<Child> child_;
    std::optional<int> exitCode_;
};

#ifndef _WIN32
// Linux only: how RunPrepared starts a program in its new process.
struct Preparation {
    // Called in the new process just before it changes to its folder and
    // runs the program (to set a limit, or a namespace); false gives up, and
    // the exit code is then kNotPrepared.
    std::function<bool()> prepare = [] { return true; };
    // Runs the program through an open descriptor of its file, so that
    // nothing tells it its path.
    bool throughDescriptor = false;
};
const int kNotPrepared = 125;
RunResult RunPrepared(const fs::path& program, const std::vector<CString>& arguments,
                      const fs::path& directory, const Preparation& preparation);
#endif

// The command line with which RunProgram starts a program: the quoted
// program name and arguments, blank-separated.
CString CommandLineFor(const fs::path& program, const std::vector<CString>& arguments);

// The part of CommandLineFor after the program name.
CString CommandTailFor(const std::vector<CString>& arguments);
