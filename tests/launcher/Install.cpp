#include "tests/launcher/Install.h"

#include <chrono>
#include <thread>

Contents ContentsOf(const fs::path& root) {
    Contents contents;
    for (const auto& [name, state] : SnapshotTree(root)) {
        if (name.back() != '/' && name.compare(0, 13, "launch-record") != 0) {
            contents[name] = state.first;
        }
    }
    return contents;
}

Install::Install(const fs::path& subfolder, const fs::path& base)
    : temp(base),
      root(subfolder.empty() ? temp.path() : temp.path() / subfolder),
      launcher(root / LAUNCHER_FILE),
      data(root / "TavrelData"),
      update(data / "update"),
      layout(FromFsPath(root) + TEXT('\\')) {
    fs::create_directories(data);
    fs::copy_file(ProgramDirectory() / LAUNCHER_FILE, launcher);
    fs::copy_file(ProgramDirectory() / STANDIN_BROWSER_FILE, data / "Tavrel.exe");
}

std::string Install::StageBrowser() const {
    const std::string program = ReadFile(data / "Tavrel.exe") + "new";
    Stage("Tavrel.exe", program);
    fs::permissions(update / "Tavrel.exe", fs::status(data / "Tavrel.exe").permissions());
    return program;
}

void Install::Stage(const fs::path& relative, const std::string& bytes) const {
    fs::create_directories((update / relative).parent_path());
    WriteFile(update / relative, bytes);
}

Contents Install::Installed() const {
    Contents installed = ContentsOf(data);
    installed.erase(installed.lower_bound("update"), installed.lower_bound("updatf"));
    return installed;
}

Contents Install::Applied() const {
    Contents applied = Installed();
    for (const auto& [name, hash] : fs::is_directory(update) ? ContentsOf(update) : Contents()) {
        applied[name] = hash;
    }
    applied.erase("TavrelPostUpgrade.exe");
    return applied;
}

std::vector<CString> Install::WaitForBrowser(int seconds) const {
    const fs::path record = data / "launch-record";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!fs::exists(record)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return {};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const std::string bytes = ReadFile(record);
    const CString directory(reinterpret_cast<const WCHAR*>(bytes.data()));
    return {directory, reinterpret_cast<const WCHAR*>(bytes.data()) + directory.GetLength() + 1};
}
