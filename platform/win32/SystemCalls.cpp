#include "platform/win32/SystemCalls.h"

SystemCallTable& SystemCalls() {
    static SystemCallTable table = {&::CreateFileW,     &::CopyFileW,    &::MoveFileExW,
                                    &::CreateHardLinkW, &::DeleteFileW,  &::FlushFileBuffers,
                                    &::FindFirstFileW,  &::FindNextFileW};
    return table;
}
