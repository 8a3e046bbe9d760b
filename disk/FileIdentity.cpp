#include "disk/FileIdentity.h"

#include "platform/ScopedHandle.h"

BY_HANDLE_FILE_INFORMATION InformationOf(const CString& path) {
    const ScopedHandle file(CreateFileW(
        path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!file.IsValid() || !GetFileInformationByHandle(file.get(), &information)) {
        return {};
    }
    return information;
}

bool IsSameFile(const BY_HANDLE_FILE_INFORMATION& source, const CString& target) {
    if (source.nNumberOfLinks < 2) {
        return false;
    }
    const BY_HANDLE_FILE_INFORMATION other = InformationOf(target);
    return other.nNumberOfLinks == source.nNumberOfLinks &&
           other.dwVolumeSerialNumber == source.dwVolumeSerialNumber &&
           other.nFileIndexHigh == source.nFileIndexHigh &&
           other.nFileIndexLow == source.nFileIndexLow;
}
