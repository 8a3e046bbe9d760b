#include "platform/commandline/ArgumentVector.h"

#include <cassert>

namespace {

// Receives the arguments of one walk over the text. Without storage it only
// counts, which sizes the block that a second walk then fills.
class ArgumentSink {
public:
    ArgumentSink(LPWSTR* entries, WCHAR* characters) : entries_(entries), characters_(characters) {}

    void Begin() {
        if (entries_ != nullptr) {
            entries_[count_] = characters_ + used_;
        }
    }
    void Add(WCHAR c) {
        if (characters_ != nullptr) {
            characters_[used_] = c;
        }
        ++used_;
    }
    void AddBackslashes(size_t n) {
        while (n-- > 0) {
            Add(TEXT('\\'));
        }
    }
    void End() {
        Add(0);
        ++count_;
    }

    int count() const { return count_; }
    size_t used() const { return used_; }

private:
    LPWSTR* entries_;
    WCHAR* characters_;
    int count_ = 0;
    size_t used_ = 0;
};

bool IsSeparator(WCHAR c) {
    return c == TEXT(' ') || c == TEXT('\t');
}

void ReadProgramName(LPCWSTR& p, ArgumentSink& sink) {
    sink.Begin();
    if (*p == TEXT('"')) {
        ++p;
        while (*p != 0 && *p != TEXT('"')) {
            sink.Add(*p++);
        }
        if (*p == TEXT('"')) {
            ++p;
        }
    } else {
        while (*p != 0 && !IsSeparator(*p)) {
            sink.Add(*p++);
        }
        if (*p != 0) {
            ++p;
        }
    }
    sink.End();
}

void ReadArgument(LPCWSTR& p, ArgumentSink& sink) {
    sink.Begin();
    bool quoted = false;
    for (;;) {
        size_t backslashes = 0;
        while (*p == TEXT('\\')) {
            ++p;
            ++backslashes;
        }
        bool add = true;
        if (*p == TEXT('"')) {
            if (backslashes % 2 == 0) {
                if (quoted && p[1] == TEXT('"')) {
                    // A doubled quote inside quotes: the second one is text,
                    // and the quoted stretch ends.
                    ++p;
                    quoted = false;
                } else {
                    add = false;
                    quoted = !quoted;
                }
            }
            backslashes /= 2;
        }
        sink.AddBackslashes(backslashes);
        if (*p == 0 || (!quoted && IsSeparator(*p))) {
            break;
        }
        if (add) {
            sink.Add(*p);
        }
        ++p;
    }
    sink.End();
}

void Walk(LPCWSTR text, bool withProgramName, ArgumentSink& sink) {
    LPCWSTR p = text;
    if (withProgramName) {
        ReadProgramName(p, sink);
    }
    for (;;) {
        while (IsSeparator(*p)) {
            ++p;
        }
        if (*p == 0) {
            return;
        }
        ReadArgument(p, sink);
    }
}

}  // namespace

ArgumentVector ArgumentVector::FromCommandLine(LPCWSTR commandLine) {
    return Build(commandLine, true);
}

ArgumentVector ArgumentVector::FromParameters(LPCWSTR parameters) {
    return Build(parameters, false);
}

ArgumentVector ArgumentVector::Build(LPCWSTR text, bool withProgramName) {
    ArgumentSink counter(nullptr, nullptr);
    Walk(text, withProgramName, counter);

    const size_t pointerBytes = (counter.count() + 1) * sizeof(LPWSTR);
    ArgumentVector vector;
    vector.block_.reset(std::malloc(pointerBytes + counter.used() * sizeof(WCHAR)));
    if (!vector.IsValid()) {
        return vector;
    }
    auto* entries = static_cast<LPWSTR*>(vector.block_.get());
    auto* characters =
        reinterpret_cast<WCHAR*>(static_cast<char*>(vector.block_.get()) + pointerBytes);
    ArgumentSink filler(entries, characters);
    Walk(text, withProgramName, filler);
    // The block was sized by the first walk; the second fills exactly that.
    assert(filler.count() == counter.count() && filler.used() == counter.used());
    entries[filler.count()] = nullptr;
    vector.count_ = filler.count();
    return vector;
}
