#include "tests/support/Process.h"

#include <stdexcept>

#include "platform/commandline/ArgumentQuote.h"

StartedProgram StartProgram(const ProgramStart& start, const fs::path& output) {
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    const HANDLE file = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = file;
    startup.hStdError = file;
    CString line = start.commandLine;
    if (line.IsEmpty()) {
        line = QuoteProgramName(FromFsPath(start.program).operator LPCWSTR()).c_str();
        for (const CString& argument : start.arguments) {
            line += TEXT(" ") + CString(QuoteArgument(argument.operator LPCWSTR()).c_str());
        }
    }
    // CreateProcessW may write into the command line it is given. The
    // program runs in a job of its own, so that a kill ends whatever it
    // started as well: under Wine, a program whose start the kill cut short
    // would otherwise hang for good, and keep open the test's error output,
    // which every program that Wine starts inherits.
    std::wstring writable(line);
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(start.program.c_str(), &writable[0], nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED, nullptr, start.directory.c_str(), &startup, &process) ||
        !AssignProcessToJobObject(job, process.hProcess)) {
        TerminateProcess(process.hProcess, static_cast<UINT>(-1));
        throw std::runtime_error("cannot start " + start.program.string());
    }
    CloseHandle(file);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    return {reinterpret_cast<intptr_t>(process.hProcess), reinterpret_cast<intptr_t>(job)};
}

void KillProgram(const StartedProgram& program) {
    TerminateJobObject(reinterpret_cast<HANDLE>(program.job), static_cast<UINT>(-1));
}

int WaitForProgram(const StartedProgram& program) {
    const HANDLE process = reinterpret_cast<HANDLE>(program.process);
    WaitForSingleObject(process, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process, &exitCode);
    CloseHandle(process);
    CloseHandle(reinterpret_cast<HANDLE>(program.job));
    return static_cast<int>(exitCode);
}

int ExitCodeAsNobody(const fs::path&, const std::function<int()>& body) {
    return body();
}
