#include "tests/launcher/Install.h"

#include "tests/support/LaunchRecord.h"

Contents ContentsOf(const fs::path& root) {
    Contents contents;
    for (const auto& [name, state] : SnapshotTree(root)) {
        if (name.back() != '/' && !IsLaunchRecordName(name)) {
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
    LaunchRecord record;
    if (!TakeLaunchRecord(data, seconds, &record)) {
        return {};
    }
    return {record.directory, record.tail};
}
