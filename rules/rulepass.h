#pragma once

#include "engine/filelist.h"

#include <functional>

// One pass of a rule: for every row from the top, the row is read and rule
// computes its new fields; then every row is written back at once, as one
// step of the list's history. The count is taken once, before the pass.
void PassOverRows(FileList &list, const std::function<void(FileEntry &)> &rule);
