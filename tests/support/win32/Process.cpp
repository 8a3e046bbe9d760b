#include "tests/support/Process.h"

#include <chrono>
#include <stdexcept>

#include "tests/support/win32/RawProcess.h"

RunResult RunProgram(const fs::path& program, const std::vector<CString>& arguments,
                     const fs::path& directory) {
    return RunRawCommandLine(program, CommandLineFor(program, arguments), directory);
}

RunResult RunRawCommandLine(const fs::path& program, const CString& commandLine,
                            const fs::path& directory) {
    TempDir scratch;
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

    // CreateProcessW may write into the command line it is given.
    std::wstring line(commandLine);
    PROCESS_INFORMATION process = {};
    const auto start = std::chrono::steady_clock::now();
    const BOOL started = CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0,
                                        nullptr, directory.c_str(), &startup, &process);
    CloseHandle(output);
    if (!started) {
        throw std::runtime_error("cannot start " + program.string());
    }
    WaitForSingleObject(process.hProcess, INFINITE);

    RunResult result;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    result.exitCode = static_cast<int>(exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    result.output = ReadFile(scratch.path() / "output");
    return result;
}
