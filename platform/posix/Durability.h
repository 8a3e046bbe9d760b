// Making what the layer changed durable: a rename written through.
#pragma once

#include <string>

#include "platform/posix/Win32Api.h"

// Waits until a rename in the folder that holds path is on stable storage.
BOOL FlushFolderOf(const std::string& path);
