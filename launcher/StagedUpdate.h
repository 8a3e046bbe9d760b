// Applying an update that waits in the update folder, before the browser
// starts.
#pragma once

#include "launcher/FolderLayout.h"

void ApplyStagedUpdate(const FolderLayout& layout);
