// Applying an update that waits in the update folder, before the browser
// starts. Nothing is reported: a failed or partial update leaves the update
// staged, and the next start tries again.
#pragma once

#include "launcher/FolderLayout.h"

// When the update folder exists: the staged browser program is copied over
// the browser program (up to 8 attempts, 10 ms apart, while it is in use),
// then the whole staged tree over the data folder; only when all of it was
// copied are the update folder and the post-upgrade program removed.
void ApplyStagedUpdate(const FolderLayout& layout);
