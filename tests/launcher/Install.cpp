#include "tests/launcher/Install.h"

#include <gtest/gtest.h>

Contents WithoutTemporaries(Contents contents) {
    for (auto file = contents.begin(); file != contents.end();) {
        const size_t slash = file->first.rfind('/');
        const bool temporary =
            file->first.compare(slash == std::string::npos ? 0 : slash + 1, 8, ".tavrel-") == 0;
        file = temporary ? contents.erase(file) : std::next(file);
    }
    return contents;
}

Install::Install(const fs::path& subfolder, const fs::path& base)
    : temp(base),
      root(subfolder.empty() ? temp.path() : temp.path() / subfolder),
      launcher(root / LAUNCHER_FILE),
      data(root / "TavrelData"),
      update(data / "update"),
      applied(data / "update-applied"),
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
    return OutsideUpdate(ContentsOf(data));
}

Contents Install::OutsideUpdate(Contents contents) {
    contents.erase(contents.lower_bound("update"), contents.lower_bound("updatf"));
    return contents;
}

Contents Install::Applied() const {
    Contents applied = Installed();
    for (const auto& [name, hash] : fs::is_directory(update) ? ContentsOf(update) : Contents()) {
        applied[name] = hash;
    }
    applied.erase("TavrelPostUpgrade.exe");
    return OutsideUpdate(applied);
}

void Install::ExpectUpdateApplied(const Contents& applied) const {
    // GoogleTest shows no more than the first 32 files of each.
    EXPECT_EQ(Installed(), applied);
    EXPECT_FALSE(fs::exists(update) || fs::exists(this->applied));
}

std::vector<CString> Install::WaitForBrowser(int seconds) const {
    LaunchRecord record;
    if (!TakeLaunchRecord(data, seconds, &record)) {
        return {};
    }
    return {record.directory, record.tail};
}
