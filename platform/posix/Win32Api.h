// The POSIX side of the platform gate: the subset of the Win32 API that the
// launcher and the disk helper use, declared as Windows declares it and
// implemented over POSIX in this folder.
//
// The file system is seen as one volume without drive letters and with
// backslash separators: \home\u\x names /home/u/x. Text is UTF-16 (char16_t)
// and becomes UTF-8 only where it crosses into a system call.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef int INT;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef char16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef BOOL* LPBOOL;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef DWORD* LPDWORD;
typedef intptr_t INT_PTR;
typedef void* HANDLE;
typedef void* HLOCAL;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HWND__* HWND;

#define WINAPI
#define TEXT(quote) u##quote

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INFINITE 0xFFFFFFFFu
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_DEVICE 0x00000040u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

// What a reparse point is, in WIN32_FIND_DATAW's dwReserved0.
#define IO_REPARSE_TAG_MOUNT_POINT 0xA0000003u
#define IO_REPARSE_TAG_SYMLINK 0xA000000Cu

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u
#define CREATE_NEW 1u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000u
#define FILE_FLAG_OPEN_REPARSE_POINT 0x00200000u

#define LOCKFILE_FAIL_IMMEDIATELY 0x00000001u
#define LOCKFILE_EXCLUSIVE_LOCK 0x00000002u
#define MAXDWORD 0xFFFFFFFFu

#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_WRITE_THROUGH 0x00000008u

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define LANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(primary, sub) ((static_cast<WORD>(sub) << 10) | static_cast<WORD>(primary))

#define SW_SHOW 5
#define SW_SHOWDEFAULT 10
#define STARTF_USESHOWWINDOW 0x00000001u

#define SEM_FAILCRITICALERRORS 0x0001u
#define SEM_NOOPENFILEERRORBOX 0x8000u

#define CP_ACP 0u
#define CP_UTF8 65001u

#define ERROR_SUCCESS 0u
#define ERROR_INVALID_FUNCTION 1u
#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_PATH_NOT_FOUND 3u
#define ERROR_TOO_MANY_OPEN_FILES 4u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_INVALID_HANDLE 6u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_BAD_FORMAT 11u
#define ERROR_INVALID_DATA 13u
#define ERROR_WRITE_PROTECT 19u
#define ERROR_NOT_SAME_DEVICE 17u
#define ERROR_NO_MORE_FILES 18u
#define ERROR_SHARING_VIOLATION 32u
#define ERROR_LOCK_VIOLATION 33u
#define ERROR_HANDLE_EOF 38u
#define ERROR_NOT_SUPPORTED 50u
#define ERROR_GEN_FAILURE 31u
#define ERROR_HANDLE_DISK_FULL 39u
#define ERROR_FILE_EXISTS 80u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_DISK_FULL 112u
#define ERROR_INSUFFICIENT_BUFFER 122u
#define ERROR_INVALID_NAME 123u
#define ERROR_MOD_NOT_FOUND 126u
#define ERROR_DIR_NOT_EMPTY 145u
#define ERROR_BUSY 170u
#define ERROR_ALREADY_EXISTS 183u
#define ERROR_FILENAME_EXCED_RANGE 206u
#define ERROR_DIRECTORY 267u
#define ERROR_MR_MID_NOT_FOUND 317u
#define ERROR_NO_UNICODE_TRANSLATION 1113u
#define ERROR_IO_DEVICE 1117u
#define ERROR_TOO_MANY_LINKS 1142u
#define ERROR_INVALID_WINDOW_HANDLE 1400u
#define ERROR_CANT_RESOLVE_FILENAME 1921u

// Results of ShellExecuteW of 32 or less are failures.
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

struct STARTUPINFOW {
    DWORD cb;
    DWORD dwFlags;
    WORD wShowWindow;
};
typedef STARTUPINFOW* LPSTARTUPINFOW;

// What a directory search reports of each entry that it finds.
struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    // The reparse tag, when the attributes say it is a reparse point.
    DWORD dwReserved0;
    WCHAR cFileName[MAX_PATH];
};
typedef WIN32_FIND_DATAW* LPWIN32_FIND_DATAW;

// What GetFileInformationByHandle tells of a file; the volume's serial
// number and the file index together name one file.
struct BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes;
    DWORD dwVolumeSerialNumber;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD nNumberOfLinks;
    DWORD nFileIndexHigh;
    DWORD nFileIndexLow;
};
typedef BY_HANDLE_FILE_INFORMATION* LPBY_HANDLE_FILE_INFORMATION;

// Where a read, a write or a lock begins in a file; only locks take it here.
struct OVERLAPPED {
    uintptr_t Internal;
    uintptr_t InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
};
typedef OVERLAPPED* LPOVERLAPPED;

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

// Process.
// Linux may run a program that cannot learn its own path (no /proc, and a
// program started through a descriptor): GetModuleFileNameW then fails.
constexpr bool kModulePathMayBeUnknown = true;
LPWSTR GetCommandLineW();
void GetStartupInfoW(LPSTARTUPINFOW info);
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
UINT SetErrorMode(UINT mode);
void Sleep(DWORD milliseconds);
DWORD GetLastError();
void SetLastError(DWORD code);
DWORD FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                     LPWSTR buffer, DWORD size, void* arguments);
HLOCAL LocalFree(HLOCAL memory);

// Shell.
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT showCommand);

// Text.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                        int narrowSize, LPCSTR defaultChar, LPBOOL usedDefaultChar);
int lstrcmpA(LPCSTR a, LPCSTR b);
int lstrcmpiA(LPCSTR a, LPCSTR b);

// Files.
DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer);
BOOL SetCurrentDirectoryW(LPCWSTR path);
// A symbolic link is a reparse point (and a directory, when it points at
// one); it is never followed. A FIFO, device or socket is a device. Hidden
// and read-only are not reported.
DWORD GetFileAttributesW(LPCWSTR path);
// Read-only takes away every write permission, and its absence gives the
// owner write permission back.
BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes);
// Only regular files are copied: a FIFO, device or socket, at either end, is
// refused without being opened for reading or writing. A file is never
// copied onto itself.
BOOL CopyFileW(LPCWSTR existing, LPCWSTR target, BOOL failIfExists);
BOOL DeleteFileW(LPCWSTR path);
BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectoryW(LPCWSTR path);
// Renames in one step. With MOVEFILE_REPLACE_EXISTING a file at the new name
// is replaced (a link there is replaced, not followed), unless it is a
// folder or a running program (ERROR_ACCESS_DENIED, as Windows refuses a
// file in use). With MOVEFILE_WRITE_THROUGH the rename is on stable
// storage when the call returns.
BOOL MoveFileExW(LPCWSTR existing, LPCWSTR target, DWORD flags);
// A second name for an existing file (not for a folder; a link is given the
// name itself, not what it points at); fails with ERROR_ALREADY_EXISTS where
// something has the new name, and with ERROR_NOT_SAME_DEVICE across file
// systems.
BOOL CreateHardLinkW(LPCWSTR newName, LPCWSTR existing, LPSECURITY_ATTRIBUTES security);

// Opens an existing file or folder (OPEN_EXISTING), a new file (CREATE_NEW,
// which is never a link's target), or either (OPEN_ALWAYS), for the access
// asked (none, to look at it); never blocks on a FIFO or device. Sharing
// modes are not enforced: Linux has none.
HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information);
// From the current position, without overlapped reads or writes; a read at
// the end reads 0 bytes.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
// Locks between processes, as flock(2) makes them (so that flock(1) takes the
// same lock): of the whole file only, that is from offset 0 for MAXDWORD,
// MAXDWORD bytes (else ERROR_NOT_SUPPORTED); held until unlocked or the
// handle is closed. A lock held elsewhere fails an immediate one with
// ERROR_LOCK_VIOLATION.
BOOL LockFileEx(HANDLE file, DWORD flags, DWORD reserved, DWORD lengthLow, DWORD lengthHigh,
                LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE handle);

// Directory searches. Entries come in a fixed order: "." and ".." first, then
// by name compared code unit by code unit with ASCII letters folded to one
// case. Wildcards: '*' any run, '?' one character, and a trailing ".*" also
// matches names without a dot ("*.*" matches every name). A pattern without
// wildcards finds that one name, exactly. A symbolic link is a reparse point
// tagged IO_REPARSE_TAG_SYMLINK; a FIFO, device or socket is a device.
HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data);
BOOL FindNextFileW(HANDLE search, LPWIN32_FIND_DATAW data);
BOOL FindClose(HANDLE search);

// Windows: there are none here, so every window call fails.
BOOL SetWindowTextW(HWND window, LPCWSTR text);
