#pragma once

#include "engine/filelist.h"

#include <functional>

// Fills the list with the run that takes back the last one the change log
// records, when that run renamed in the list's folder: one row for each
// logged file that still carries its new name, with its old name as the
// preview, in the order of the log. Files renamed since are left out and
// counted. Only names come back; attributes are not in the log. Tells the
// user what it found, in one message; listFilled runs before it, once the
// list holds the new rows. False, with the list as it was, when there is
// nothing to take back.
bool PrepareUndo(FileList &list, const std::function<void()> &listFilled = {});
