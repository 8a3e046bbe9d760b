// Files written into place whole, and put back when they cannot all be.
//
// Each new file is first written beside its target under a temporary name.
// Once every file of the batch is written, a record of what the batch
// replaces and adds is written too, and all of it is made durable (sealed).
// Then each target in turn is kept aside under a name of the temporaries'
// kind and the new file takes its place, one rename each. Only when every
// file is in place, and on stable storage, is the batch done: its record is
// marked so in one durable step, and then the kept files go. When a file
// cannot take its place, the batch is undone: every file already placed gets
// its old content back, the files it added go, and so do the temporaries.
//
// Whatever happens in between, each target holds its old content or its new
// one, never a part; a link, a FIFO or a device at a target is replaced (kept
// aside), never written through or opened; and a file that is its own
// target is left as it is. A batch cut off (the process killed, the power
// lost) is finished or undone by Recover, from its record: finished when it
// was marked done, undone otherwise. A kept old file is never taken for a new
// one.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/StringArray.h"

class FileBatch {
public:
    // A batch into the folder root (qualified, with its trailing backslash),
    // below which every target lies and where its record is kept. One that
    // links sole files gives a source file that has no other name its
    // temporary as a second name instead of copying it: such sources must
    // not be written while the batch goes in, and may go once it is in (an
    // update's files). A source with other names is copied, so that nothing
    // outside the batch shares a file with its folder; and so is one that
    // cannot be linked.
    explicit FileBatch(const CString& root, bool linksSoleFiles = false);
    // A sealed batch that was neither finished nor undone is undone; the
    // temporaries of one that was not sealed go.
    ~FileBatch();
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;

    // Writes (or links) the content of the file `name` of folder `from`
    // beside its place in folder `to`; FALSE, with the last error set, when
    // it cannot.
    BOOL Write(const CString& from, const CString& to, const CString& name);
    // Records what the batch replaces and adds, and waits until that and
    // everything written is on stable storage. FALSE, with the last error
    // set, when it cannot: nothing has been replaced.
    BOOL Seal();

    int Count() const { return static_cast<int>(files_.size()); }
    CString Source(int i) const;
    CString Target(int i) const;
    // Puts the i-th file in its target's place, the old target kept aside
    // (a read-only or hidden one too; one in use is waited for briefly);
    // FALSE, with the last error set and the target as it was, when it
    // cannot.
    BOOL Place(int i);
    // Waits until everything put in place is on stable storage, marks the
    // batch done, and removes the kept files. FALSE, with the last error
    // set, when it is not done: Undo then puts everything back.
    BOOL Finish();
    // Gives every placed target its old content back, removes the files the
    // batch added and the temporaries. FALSE, with the last error set, when
    // something could not be put back: its record stays, for Recover.
    BOOL Undo();

    // Finishes or undoes the batch into root that was cut off, if there is
    // one; TRUE when none is left unfinished (the last error set otherwise).
    static BOOL Recover(const CString& root);
    // Whether a batch into root was cut off, or could not remove all that
    // it kept.
    static bool IsUnfinished(const CString& root);

private:
    struct Folder {
        CString from;
        CString to;
    };
    // Whether a file has taken its target's place; a batch read back from
    // its record cannot tell.
    enum Placement { kNotPlaced, kPlaced, kMaybePlaced };
    struct File {
        int folder;
        CString name;
        bool replaces;
        // What it replaces is a folder, which no file replaces.
        bool isFolder;
        Placement placed;
    };
    enum State { kWriting, kSealed, kFinished, kUndone };

    // Removes the kept old files and any temporary left, then the record
    // that tells of them; FALSE when something stays.
    BOOL RemoveKept();

    CString root_;
    bool linksSoleFiles_;
    std::vector<Folder> folders_;
    std::vector<File> files_;
    State state_ = kWriting;
};
