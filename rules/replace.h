#pragma once

#include "engine/fileentry.h"
#include "settings/appsettings.h"

// Sets the preview to the current name with one occurrence of ReplaceFrom
// (the first, or the last with ReplaceFromTop cleared) replaced by ReplaceTo;
// a name without it gets itself back. Only the base is searched while
// ProtectExtension is set.
void ReplaceName(FileEntry &entry, const AppSettings &settings);
