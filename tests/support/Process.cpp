#include "tests/support/Process.h"

#include <chrono>
#include <thread>

RunResult RunProgram(const ProgramStart& start) {
    const TempDir scratch;
    const fs::path output = scratch.path() / "output";
    const auto started = std::chrono::steady_clock::now();
    const StartedProgram program = StartProgram(start, output);
    if (start.killAfter >= 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(start.killAfter));
        KillProgram(program);
    }
    const int exitCode = WaitForProgram(program);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    return {exitCode, ReadFile(output), elapsed.count()};
}
