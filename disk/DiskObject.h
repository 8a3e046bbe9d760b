// CDiskObject: the file-system helper. It lists directories, and copies,
// creates and removes files and directory trees.
//
// Every operation answers nonzero for success and 0 for failure, and keeps
// the text of its last failure in m_errorText: empty, the internal-error text
// for bad arguments, or the system's message for the failing call followed by
// the paths involved. Path arguments are never changed: each operation works
// on its own copy, made absolute with backslash separators (qualified). The
// process's current directory is the same after each call as before it.
//
// A link (a symbolic link or junction) is never followed: tree walks list a
// directory link without descending, removing it removes the link, never
// what it points at, and copies skip links, FIFOs, devices and sockets.
//
// Copies write each file whole: every file of the copy is written beside its
// target and made durable first, and then each takes its target's place in
// one step, so that a copy that fails or is cut off leaves every target with
// its old content or its new one (see FileBatch.h). A copy told to stop on
// an error goes in as one: when a file cannot take its place, every file it
// replaced gets its old content back and every file it added goes. A copy
// cut off is finished or undone by the next copy into the same destination,
// or by RecoverCopy. A link where the copy puts a file or a folder is
// replaced, never written through.
//
// When a progress window is attached, the object sets its text to every error
// text and to every entry that it lists, copies, creates or removes.
#pragma once

#include "platform/StringArray.h"
#include "platform/Wnd.h"

enum ListMode { NamesOnly = 0, FullPaths = 1 };

class FileBatch;

class CDiskObject {
public:
    explicit CDiskObject(CWnd* progressWindow = nullptr);
    ~CDiskObject() = default;

    void ClearError();
    void SetSystemError(DWORD code, const CString& elements);
    void SetInternalError();

    BOOL QualifyDirectory(CString& directory);
    BOOL QualifyFile(CString& path);
    BOOL IsValidPathPart(const CString& part) const;
    BOOL DirectoryExists(const CString& directory);

    BOOL ListFiles(const CString& directory, CStringArray& list, ListMode mode);
    BOOL ListFilesMatching(const CString& filter, const CString& directory, CStringArray& list,
                           ListMode mode);
    BOOL ListSubdirectories(const CString& directory, CStringArray& list, ListMode mode);
    BOOL CollectSubdirectories(const CString& directory, CStringArray& list);

    BOOL CopyFiles(const CString& source, const CString& destination, BOOL stopOnError);
    BOOL CopyTree(const CString& source, const CString& destination, BOOL stopOnError);
    // CopyTree for a source that is removed once it is in, as a staged update
    // is: each of its files that has no other name goes in as a second name
    // of itself, not a copy, where the file system allows (not across
    // volumes). The source stays whole; it must not be written after.
    BOOL LinkTree(const CString& source, const CString& destination, BOOL stopOnError);
    // Finishes a copy into destination that was cut off when all its files
    // were in place and durable, and undoes it otherwise; nonzero when no
    // copy into destination is left unfinished.
    BOOL RecoverCopy(const CString& destination);
    // Nonzero when a copy into destination was cut off, or left files it
    // kept that RecoverCopy would remove.
    BOOL HasUnfinishedCopy(const CString& destination);
    BOOL CreateDirectoryChain(const CString& path);
    BOOL RemoveFile(const CString& path);
    BOOL EmptyDirectory(const CString& path);
    BOOL RemoveDirectory(const CString& path);
    BOOL RemoveTree(const CString& path);

    CString m_errorText;
    CWnd* m_progressWindow;

private:
    // The first failure of a copy that goes on past failures: every later
    // step clears the error text when it starts.
    struct CopyFailure {
        BOOL failed = FALSE;
        CString text;
    };

    void Echo(const CString& text);
    // The opening of most operations: clears the error, and gives the
    // qualified copy of a path that is neither empty nor invalid.
    BOOL StartWithPath(const CString& path);
    BOOL StartWithDirectory(const CString& path, CString& qualified);
    BOOL IsDirectoryLink(const CString& directory) const;
    BOOL PutTree(const CString& source, const CString& destination, BOOL stopOnError,
                 bool linksSoleFiles);
    BOOL ListEntries(const CString& filter, const CString& directory, CStringArray& list,
                     ListMode mode, bool copyableOnly);
    // The two halves of a copy: every file of one directory written beside
    // its target (FALSE when the copy ends there), and then everything
    // written put in place.
    BOOL WriteFiles(const CString& from, const CString& to, BOOL stopOnError, FileBatch& batch,
                    CopyFailure& failure);
    BOOL PlaceFiles(FileBatch& batch, const CString& to, BOOL stopOnError, CopyFailure& failure);
    void RecordFailure(CopyFailure& failure) const;
};
