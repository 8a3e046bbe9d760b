#include "tests/support/Process.h"

#include <stdexcept>

#include "tests/support/win32/RawProcess.h"

// The program runs in a job of its own, so that a kill ends whatever it
// started as well: under Wine, a program whose start the kill cut short
// would otherwise hang for good, and keep open the test's error output,
// which every program that Wine starts inherits.
struct StartedProgram::Child {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    PROCESS_INFORMATION process = {};
    ~Child() {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        CloseHandle(job);
    }
};

namespace {

// The exit code that a killed program gets.
const UINT kKilledExitCode = static_cast<UINT>(-1);

std::shared_ptr<StartedProgram::Child> StartChild(const fs::path& program,
                                                  const CString& commandLine,
                                                  const fs::path& directory,
                                                  const fs::path& output) {
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    const HANDLE outputFile =
        CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = outputFile;
    startup.hStdError = outputFile;

    // CreateProcessW may write into the command line it is given.
    std::wstring line(commandLine);
    auto child = std::make_shared<StartedProgram::Child>();
    const BOOL started =
        CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                       directory.c_str(), &startup, &child->process);
    CloseHandle(outputFile);
    if (!started) {
        throw std::runtime_error("cannot start " + program.string());
    }
    if (!AssignProcessToJobObject(child->job, child->process.hProcess)) {
        TerminateProcess(child->process.hProcess, kKilledExitCode);
        throw std::runtime_error("cannot put " + program.string() + " in a job");
    }
    ResumeThread(child->process.hThread);
    return child;
}

}  // namespace

StartedProgram::StartedProgram(const fs::path& program, const std::vector<CString>& arguments,
                               const fs::path& directory)
    : StartedProgram([&](const fs::path& output) {
          return StartChild(program, CommandLineFor(program, arguments), directory, output);
      }) {}

void StartedProgram::Terminate() {
    TerminateJobObject(child_->job, kKilledExitCode);
}

int StartedProgram::WaitForExit() {
    WaitForSingleObject(child_->process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(child_->process.hProcess, &exitCode);
    return static_cast<int>(exitCode);
}

RunResult RunRawCommandLine(const fs::path& program, const CString& commandLine,
                            const fs::path& directory) {
    return StartedProgram([&](const fs::path& output) {
               return StartChild(program, commandLine, directory, output);
           })
        .Finish();
}
