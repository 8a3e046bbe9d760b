#include "tests/support/Process.h"

#include "platform/commandline/ArgumentQuote.h"

RunResult RunProgram(const fs::path& program, const std::vector<CString>& arguments,
                     const fs::path& directory) {
    return StartedProgram(program, arguments, directory).Finish();
}

// The shared pointer to the child carries the deleter that each system's
// start gave it, so that this file needs no definition of the child.
StartedProgram::StartedProgram(const Start& start)
    : started_(std::chrono::steady_clock::now()), child_(start(scratch_.path() / "output")) {}

StartedProgram::~StartedProgram() {
    Kill();
    Wait();
}

void StartedProgram::Kill() {
    // Once the program has been waited for, its process id may be another's.
    if (!exitCode_) {
        Terminate();
    }
}

int StartedProgram::Wait() {
    if (!exitCode_) {
        exitCode_ = WaitForExit();
    }
    return *exitCode_;
}

RunResult StartedProgram::Finish() {
    RunResult result;
    result.exitCode = Wait();
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    result.output = ReadFile(scratch_.path() / "output");
    return result;
}

CString CommandLineFor(const fs::path& program, const std::vector<CString>& arguments) {
    const ArgumentText name = QuoteProgramName(FromFsPath(program).operator LPCWSTR());
    CString line(name.c_str());
    if (!arguments.empty()) {
        line += TEXT(' ');
        line += CommandTailFor(arguments);
    }
    return line;
}

CString CommandTailFor(const std::vector<CString>& arguments) {
    CString tail;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) {
            tail += TEXT(' ');
        }
        tail += QuoteArgument(arguments[i].operator LPCWSTR()).c_str();
    }
    return tail;
}
