// Applying an update that waits in the update folder, before the browser
// starts. Nothing is reported: a failed or partial update leaves the update
// staged, and the next start tries again.
#pragma once

#include "launcher/FolderLayout.h"

// When the update folder holds a browser program: under the update lock
// (see UpdateLock.h), once the browser program is not in use (up to 8
// attempts, 10 ms apart), the whole staged tree goes over the data folder as
// one: each staged file that has no other name by a second name of itself
// beside its place, no byte of it copied, the rest by a copy; every file
// durable before any takes its place, and every replaced file put back when
// one cannot take its place. Only when all of it is in place, and on stable
// storage, are the update folder and the post-upgrade program removed. An
// update that a start cut off is finished or undone by the next start,
// before anything else.
void ApplyStagedUpdate(const FolderLayout& layout);
