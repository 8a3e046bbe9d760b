// The lock that one start at a time holds while it applies an update, and
// an updater while it writes one into the update folder: the whole of the
// file TavrelData\update.lock, locked exclusively (LockFileEx on Windows,
// flock on Linux, so that flock(1) takes it too). A process that ends, however
// it ends, lets go of it.
#pragma once

#include "platform/ScopedHandle.h"
#include "platform/String.h"

class UpdateLock {
public:
    // Takes the lock on the file at path, made when missing, waiting up to
    // about `milliseconds` while another holds it. A link, FIFO or device at
    // path is replaced by a file; nothing is locked through a link.
    UpdateLock(const CString& path, DWORD milliseconds);

    bool IsHeld() const { return held_; }

private:
    // Closing it lets go of the lock.
    ScopedHandle file_;
    bool held_ = false;
};
