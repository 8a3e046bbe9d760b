#include "tests/launcher/Install.h"

namespace {

// Wine can take a while to start a program when its server is cold.
const int kBrowserStartSeconds = 60;

}  // namespace

Contents ContentsOf(const fs::path& root) {
    Contents contents;
    for (const auto& [name, state] : SnapshotTree(root)) {
        // Left out too: the launch records that browsers write there.
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

Contents Install::Applied() const {
    Contents applied = Installed();
    for (const auto& [name, hash] : fs::is_directory(update) ? ContentsOf(update) : Contents()) {
        applied[name] = hash;
    }
    applied.erase("TavrelPostUpgrade.exe");
    return applied;
}

Contents Install::Installed() const {
    Contents installed;
    for (const auto& [name, hash] : ContentsOf(data)) {
        if (name.compare(0, 6, "update") != 0) {
            installed[name] = hash;
        }
    }
    return installed;
}

RunResult Install::Run(const std::vector<CString>& arguments, const fs::path& directory) const {
    return RunProgram({launcher, arguments, directory});
}

LaunchRecord Install::WaitForBrowser() const {
    return WaitForLaunchRecord(data, kBrowserStartSeconds);
}
