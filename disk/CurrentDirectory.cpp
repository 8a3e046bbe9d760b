#include "disk/CurrentDirectory.h"

CString ReadCurrentDirectory() {
    // The answer is the size needed until the buffer holds it all; the
    // directory may change between the two readings.
    CString current;
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    while (size != 0) {
        const DWORD length = GetCurrentDirectoryW(size, current.GetBuffer(size));
        if (length < size) {
            current.ReleaseBuffer(length);
            return current;
        }
        size = length;
    }
    return CString();
}

CurrentDirectoryKeeper::CurrentDirectoryKeeper() : saved_(ReadCurrentDirectory()) {}

CurrentDirectoryKeeper::~CurrentDirectoryKeeper() {
    if (!saved_.IsEmpty()) {
        SetCurrentDirectoryW(saved_);
    }
}
