#include "launcher/StagedUpdate.h"

// Staged updates are not applied yet: the update folder is left as it is.
void ApplyStagedUpdate(const FolderLayout&) {}
