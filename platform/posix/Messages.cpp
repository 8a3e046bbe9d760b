// The system's message texts for error codes: Windows' English texts, each
// ending in a line break (CR LF) as Windows' own do.
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/posix/Error.h"

namespace {

struct Message {
    DWORD code;
    const char16_t* text;
};

const Message kMessages[] = {
    {ERROR_SUCCESS, u"The operation completed successfully.\r\n"},
    {ERROR_INVALID_FUNCTION, u"Incorrect function.\r\n"},
    {ERROR_FILE_NOT_FOUND, u"The system cannot find the file specified.\r\n"},
    {ERROR_PATH_NOT_FOUND, u"The system cannot find the path specified.\r\n"},
    {ERROR_TOO_MANY_OPEN_FILES, u"The system cannot open the file.\r\n"},
    {ERROR_ACCESS_DENIED, u"Access is denied.\r\n"},
    {ERROR_INVALID_HANDLE, u"The handle is invalid.\r\n"},
    {ERROR_NOT_ENOUGH_MEMORY,
     u"Not enough memory resources are available to process this command.\r\n"},
    {ERROR_BAD_FORMAT, u"An attempt was made to load a program with an incorrect format.\r\n"},
    {ERROR_INVALID_DATA, u"The data is invalid.\r\n"},
    {ERROR_NOT_SAME_DEVICE, u"The system cannot move the file to a different disk drive.\r\n"},
    {ERROR_NO_MORE_FILES, u"There are no more files.\r\n"},
    {ERROR_WRITE_PROTECT, u"The media is write protected.\r\n"},
    {ERROR_GEN_FAILURE, u"A device attached to the system is not functioning.\r\n"},
    {ERROR_SHARING_VIOLATION,
     u"The process cannot access the file because it is being used by another process.\r\n"},
    {ERROR_HANDLE_DISK_FULL, u"The disk is full.\r\n"},
    {ERROR_FILE_EXISTS, u"The file exists.\r\n"},
    {ERROR_INVALID_PARAMETER, u"The parameter is incorrect.\r\n"},
    {ERROR_DISK_FULL, u"There is not enough space on the disk.\r\n"},
    {ERROR_INSUFFICIENT_BUFFER, u"The data area passed to a system call is too small.\r\n"},
    {ERROR_INVALID_NAME, u"The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {ERROR_MOD_NOT_FOUND, u"The specified module could not be found.\r\n"},
    {ERROR_DIR_NOT_EMPTY, u"The directory is not empty.\r\n"},
    {ERROR_BUSY, u"The requested resource is in use.\r\n"},
    {ERROR_ALREADY_EXISTS, u"Cannot create a file when that file already exists.\r\n"},
    {ERROR_FILENAME_EXCED_RANGE, u"The filename or extension is too long.\r\n"},
    {ERROR_DIRECTORY, u"The directory name is invalid.\r\n"},
    {ERROR_NO_UNICODE_TRANSLATION,
     u"No mapping for the Unicode character exists in the target multi-byte code page.\r\n"},
    {ERROR_IO_DEVICE, u"The request could not be performed because of an I/O device error.\r\n"},
    {ERROR_TOO_MANY_LINKS,
     u"An attempt was made to create more links on a file than the file system supports.\r\n"},
    {ERROR_INVALID_WINDOW_HANDLE, u"Invalid window handle.\r\n"},
    {ERROR_CANT_RESOLVE_FILENAME, u"The name of the file cannot be resolved by the system.\r\n"},
};

const char16_t* Find(DWORD code) {
    for (const Message& message : kMessages) {
        if (message.code == code) {
            return message.text;
        }
    }
    return nullptr;
}

}  // namespace

// Only system messages; none of these texts holds an insertion point, so
// there is nothing to expand and no argument is ever read.
DWORD FormatMessageW(DWORD flags, const void*, DWORD messageId, DWORD, LPWSTR buffer, DWORD size,
                     void*) {
    const char16_t* text = (flags & FORMAT_MESSAGE_FROM_SYSTEM) != 0 ? Find(messageId) : nullptr;
    if (text == nullptr) {
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    const size_t length = std::char_traits<char16_t>::length(text);
    if ((flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0) {
        auto* copy = static_cast<WCHAR*>(std::malloc((length + 1) * sizeof(WCHAR)));
        if (copy == nullptr) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        std::memcpy(copy, text, (length + 1) * sizeof(WCHAR));
        *reinterpret_cast<LPWSTR*>(buffer) = copy;
    } else {
        if (length + 1 > size) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        std::memcpy(buffer, text, (length + 1) * sizeof(WCHAR));
    }
    return static_cast<DWORD>(length);
}

HLOCAL LocalFree(HLOCAL memory) {
    std::free(memory);
    return nullptr;
}
