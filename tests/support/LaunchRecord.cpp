#include "tests/support/LaunchRecord.h"

#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>

#include "platform/Utf8.h"

namespace {

const char kDirectory[] = "directory: ";
const char kTail[] = "tail: ";
const char kArgument[] = "argument: ";
const char kInherited[] = "inherited: ";

std::string Escape(const CString& text) {
    std::string out;
    for (char c : ToUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\') {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

CString Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 4 <= text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return CString(FromUtf8(out).c_str());
}

bool StartsWith(const std::string& line, const char* prefix, std::string* rest) {
    const std::string p(prefix);
    if (line.compare(0, p.size(), p) != 0) {
        return false;
    }
    *rest = line.substr(p.size());
    return true;
}

}  // namespace

fs::path LaunchRecordPath(const fs::path& directory) {
    return directory / "launch-record.txt";
}

std::string FormatLaunchRecord(const LaunchRecord& record) {
    std::string text = kDirectory + Escape(record.directory) + "\n";
    text += kTail + Escape(record.tail) + "\n";
    for (const CString& argument : record.arguments) {
        text += kArgument + Escape(argument) + "\n";
    }
    for (const int descriptor : record.inherited) {
        text += kInherited + std::to_string(descriptor) + "\n";
    }
    return text;
}

LaunchRecord ParseLaunchRecord(const std::string& text) {
    LaunchRecord record;
    std::istringstream lines(text);
    std::string line;
    std::string rest;
    while (std::getline(lines, line)) {
        if (StartsWith(line, kDirectory, &rest)) {
            record.directory = Unescape(rest);
        } else if (StartsWith(line, kTail, &rest)) {
            record.tail = Unescape(rest);
        } else if (StartsWith(line, kArgument, &rest)) {
            record.arguments.push_back(Unescape(rest));
        } else if (StartsWith(line, kInherited, &rest)) {
            record.inherited.push_back(std::stoi(rest));
        }
    }
    return record;
}

bool WaitForLaunchRecord(const fs::path& path, int seconds, LaunchRecord* record) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!fs::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    *record = ParseLaunchRecord(ReadFile(path));
    return true;
}
