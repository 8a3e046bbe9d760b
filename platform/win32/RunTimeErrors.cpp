// How the containers of the C++ run-time report a request they cannot meet.
// The run-time's own versions build exception objects that carry strings, and
// with them link its whole prebuilt string and formatting code into the
// program, several times the size of the launcher's own code. Here a size
// beyond what can be allocated is memory the program cannot have, and an
// index or argument out of range a fault of the program's own: both are
// exceptions of their own type, carrying no text, which the callers catch
// like the run-time's.
#include <new>

namespace {

class ProgramFault : public std::exception {
public:
    const char* what() const noexcept override { return "program fault"; }
};

}  // namespace

namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}

void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}

void __throw_length_error(const char*) {
    throw bad_alloc();
}

void __throw_logic_error(const char*) {
    throw ProgramFault();
}

void __throw_out_of_range_fmt(const char*, ...) {
    throw ProgramFault();
}

}  // namespace std
