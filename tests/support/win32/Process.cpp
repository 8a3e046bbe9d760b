#include "tests/support/Process.h"

#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/commandline/ArgumentQuote.h"

RunResult RunProgram(const ProgramStart& start) {
    const TempDir scratch;
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    const HANDLE output =
        CreateFileW((scratch.path() / "output").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                    &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = output;
    startup.hStdError = output;
    CString line = start.commandLine;
    if (line.IsEmpty()) {
        line = QuoteProgramName(FromFsPath(start.program).operator LPCWSTR()).c_str();
        line += start.arguments.empty() ? CString() : TEXT(" ") + CommandTailFor(start.arguments);
    }
    // CreateProcessW may write into the command line it is given. The
    // program runs in a job of its own, so that a kill ends whatever it
    // started as well: under Wine, a program whose start the kill cut short
    // would otherwise hang for good, and keep open the test's error output,
    // which every program that Wine starts inherits.
    std::wstring writable(line);
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    PROCESS_INFORMATION process = {};
    const auto started = std::chrono::steady_clock::now();
    if (!CreateProcessW(start.program.c_str(), &writable[0], nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED, nullptr, start.directory.c_str(), &startup, &process) ||
        !AssignProcessToJobObject(job, process.hProcess)) {
        TerminateProcess(process.hProcess, static_cast<UINT>(-1));
        throw std::runtime_error("cannot start " + start.program.string());
    }
    CloseHandle(output);
    ResumeThread(process.hThread);
    if (start.killAfter >= 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(start.killAfter));
        TerminateJobObject(job, static_cast<UINT>(-1));
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(job);
    return {static_cast<int>(exitCode), ReadFile(scratch.path() / "output"), elapsed.count()};
}
