#pragma once

#include "engine/filelist.h"

#include <functional>

// One pass of a rule: for every row from the top, the row is read, rule
// computes its new fields and the row is written back. The count is taken
// once, before the pass.
void PassOverRows(FileList &list, const std::function<void(FileEntry &)> &rule);
