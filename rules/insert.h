#pragma once

#include "engine/fileentry.h"
#include "settings/appsettings.h"

// Sets the preview to the current name with InsertText before it
// (InsertAtTop) or after it; after the base, in front of the extension,
// while ProtectExtension is set.
void InsertName(FileEntry &entry, const AppSettings &settings);
